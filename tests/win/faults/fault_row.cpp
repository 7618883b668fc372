#include "fault_row.h"

#include <windows.h>

#include "common/unmanaged_windows.h"

namespace vorlane::scenarios {
namespace {

// Set before the suite's first window: see LeaveWindowsUnmanagedUnderWine.
const bool kUnmanagedWindows = tests::LeaveWindowsUnmanagedUnderWine();

}  // namespace

void FaultRow::SetUp() {
  PortalScenarioTest::SetUp();
  started_ = Clock::now();
}

void FaultRow::TearDown() {
  PortalScenarioTest::TearDown();
  std::printf("[ row      ] %s: %lld ms\n", ::testing::UnitTest::GetInstance()->current_test_info()->name(), Elapsed());
}

long long FaultRow::Elapsed() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_).count();
}

void FaultRow::Observed(const std::string& what) { std::printf("[ observed ] %s\n", what.c_str()); }

void FaultRow::ExpectUnloadedWithin(std::chrono::milliseconds bound) {
  const Clock::time_point released = Clock::now();
  ASSERT_TRUE(ReleaseControlAndFreeModule(bound)) << "a thread of the control still runs after " << bound.count()
                                                  << " ms";
  ASSERT_TRUE(PumpUntil([] { return GetModuleHandleW(L"vorlane.ocx") == nullptr; }, kLastInstructionsBound))
      << "the DLL stays in the process after it was freed";
  Observed("unloadable " +
           std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - released).count()) +
           " ms after the release");

  Embed();
  host::CallResult reset = Call(u"ResetUrl");
  EXPECT_EQ(S_OK, reset.hr);
  EXPECT_EQ(VT_BOOL, V_VT(reset.value.Get()));
  EXPECT_TRUE(ReleaseControlAndFreeModule(0ms)) << "the reloaded DLL is in use with no control left";
}

}  // namespace vorlane::scenarios
