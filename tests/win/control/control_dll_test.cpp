// The control as a browser gets it: from vorlane.ocx through DllGetClassObject.
#include <gtest/gtest.h>

#include "test_container.h"

namespace vorlane::tests {
namespace {

const CLSID kControl = {0x44575D42, 0xB89E, 0x423E, {0xB3, 0xCF, 0xB8, 0xAF, 0xE1, 0x89, 0x7A, 0x80}};

TEST(ControlDll, CreatedThroughTheClassFactoryItAnswersScript) {
  HMODULE module = LoadLibraryW(L"" VORLANE_OCX_PATH);
  ASSERT_TRUE(module);
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  auto canUnloadNow =
      reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_TRUE(getClassObject && canUnloadNow);
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kControl, IID_IClassFactory, factory.PutVoid()), S_OK);
    ComPtr<IDispatch> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, control.PutVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE);

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"ResetUrl")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0x0409, &id), S_OK);
    EXPECT_EQ(id, 1003);
    names[0] = const_cast<LPOLESTR>(L"run");
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 1000);

    DISPPARAMS none = {};
    Variant result;
    EXPECT_EQ(control->Invoke(1003, IID_NULL, 0, DISPATCH_METHOD, &none, result.Get(), nullptr, nullptr),
              E_UNEXPECTED);
    ASSERT_EQ(control.As<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
    EXPECT_EQ(control->Invoke(1003, IID_NULL, 0, DISPATCH_METHOD, &none, result.Put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(result->vt, VT_BOOL);

    LPOLESTR type = nullptr;
    ASSERT_EQ(control.As<IOleObject>(IID_IOleObject)->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    EXPECT_STREQ(type, L"Vorlane  Control");
    CoTaskMemFree(type);
  }
  EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace vorlane::tests
