// Memory running out inside a COM call: the caller gets E_OUTOFMEMORY, and
// nothing thrown crosses the interface. The program's allocator is replaced
// so that one chosen allocation on this thread fails.
#include <gtest/gtest.h>
#include <olectl.h>

#include <cstdlib>
#include <new>

#include "test_container.h"

namespace {

thread_local long allocationsLeft = -1;  // before the one that fails; -1: none fails
thread_local bool failureHit = false;

}  // namespace

void* operator new(std::size_t size) {
  if (allocationsLeft == 0) {
    allocationsLeft = -1;
    failureHit = true;
    throw std::bad_alloc();
  }
  if (allocationsLeft > 0) --allocationsLeft;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vorlane::tests {
namespace {

// Runs `call` once for each of its allocations, that one failing, until a run
// makes no allocation fail; every run with a failure must answer
// E_OUTOFMEMORY, the last one S_OK. `prepare` runs unhindered before each.
template <typename Prepare, typename Call>
void ExpectOutOfMemoryAnswered(Prepare prepare, Call call) {
  for (long n = 0; n < 100; ++n) {
    prepare();
    failureHit = false;
    allocationsLeft = n;
    HRESULT hr = call();
    allocationsLeft = -1;
    if (!failureHit) {
      EXPECT_EQ(hr, S_OK) << "with every allocation served";
      EXPECT_GT(n, 0) << "the call allocates nothing: the test proves nothing";
      return;
    }
    EXPECT_EQ(hr, E_OUTOFMEMORY) << "allocation " << n + 1 << " failing";
  }
  ADD_FAILURE() << "more than 100 allocations";
}

TEST(AllocationFailure, ConnectionPointEnumerationAndItsClone) {
  ComPtr<IDispatch> control = NewControl();
  auto container = control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IEnumConnectionPoints> points;
  ExpectOutOfMemoryAnswered([&] { points = {}; }, [&] { return container->EnumConnectionPoints(points.Put()); });
  ComPtr<IEnumConnectionPoints> copy;
  ExpectOutOfMemoryAnswered([&] { copy = {}; }, [&] { return points->Clone(copy.Put()); });

  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()), S_OK);
  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.Put()), S_OK);
  ComPtr<IEnumConnections> connectionsCopy;
  ExpectOutOfMemoryAnswered([&] { connectionsCopy = {}; }, [&] { return connections->Clone(connectionsCopy.Put()); });
}

// Type information is loaded on first use, from a path built in memory.
TEST(AllocationFailure, TypeInformationOnFirstUse) {
  ComPtr<IDispatch> control;
  ComPtr<ITypeInfo> info;
  auto fresh = [&] {
    info = {};
    control = NewControl();
  };
  ExpectOutOfMemoryAnswered(fresh, [&] { return control->GetTypeInfo(0, 0x0409, info.Put()); });
  ExpectOutOfMemoryAnswered(fresh, [&] {
    auto classInfo = control.As<IProvideClassInfo>(IID_IProvideClassInfo);
    return classInfo->GetClassInfo(info.Put());
  });
  ExpectOutOfMemoryAnswered(fresh, [&] {
    wchar_t name[] = L"Run";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    return control->GetIDsOfNames(IID_NULL, names, 1, 0x0409, &id);
  });
}

}  // namespace
}  // namespace vorlane::tests
