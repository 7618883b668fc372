// DllGetClassObject, the factories and DllCanUnloadNow of the real DLL.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "control/identifiers.h"
#include "loaded_module.h"

namespace vorlane::tests {
namespace {

const GUID& AsGuid(const Guid& guid) { return reinterpret_cast<const GUID&>(guid); }

class ClassObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_NE(ocx.Handle(), nullptr);
  }
  void TearDown() override { CoUninitialize(); }
  IClassFactory* Factory(const Guid& clsid) {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(ocx.GetClassObject(AsGuid(clsid), IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    return factory;
  }
  LoadedOcx ocx;
};

TEST_F(ClassObjects, UnknownClassIsNotAvailableAndOutIsCleared) {
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(ocx.GetClassObject(AsGuid(kLibId), IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(ocx.GetClassObject(AsGuid(kControlClsid), IID_IDispatch, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

TEST_F(ClassObjects, BothClassesHaveAFactoryThatRefusesAggregation) {
  for (const Guid& clsid : {kControlClsid, kPropPageClsid}) {
    IClassFactory* factory = Factory(clsid);
    ASSERT_NE(factory, nullptr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(factory));
    unknown->Release();
    void* object = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(factory->CreateInstance(unknown, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    factory->Release();
  }
}

TEST_F(ClassObjects, CannotUnloadWhileAFactoryIsHeldOrLocked) {
  EXPECT_EQ(ocx.CanUnloadNow(), S_OK);

  IClassFactory* factory = Factory(kPropPageClsid);
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE);

  factory = Factory(kControlClsid);
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
}

TEST_F(ClassObjects, CannotUnloadWhileAControlIsAlive) {
  IClassFactory* factory = Factory(kControlClsid);
  ASSERT_NE(factory, nullptr);
  IUnknown* control = nullptr;
  HRESULT created = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&control));
  factory->Release();
  ASSERT_EQ(created, S_OK);
  EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE);
  control->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
}

// An unlock without a lock finds nothing to release: the live control still
// keeps the module loaded, and later balanced locks count as before.
TEST_F(ClassObjects, AnUnbalancedUnlockNeverLetsTheModuleGoUnderALiveControl) {
  IClassFactory* factory = Factory(kControlClsid);
  ASSERT_NE(factory, nullptr);
  IUnknown* control = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&control)), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE);

  control->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
  factory = Factory(kControlClsid);
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE);
  factory = Factory(kControlClsid);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace vorlane::tests
