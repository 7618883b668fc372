// The scripting surface: name lookup, invocation rules and results.
#include <gtest/gtest.h>

#include "test_container.h"

namespace vorlane::tests {
namespace {

HRESULT Ids(IDispatch* control, std::vector<const wchar_t*> names, LCID lcid, std::vector<DISPID>& ids) {
  ids.assign(names.size(), 12345);
  return control->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()), UINT(names.size()), lcid,
                                ids.data());
}

HRESULT Call(IDispatch* control, DISPID dispid, std::vector<VARIANTARG> argsLastFirst, VARIANT* result = nullptr,
             WORD flags = DISPATCH_METHOD, UINT namedCount = 0) {
  DISPID named = 7;
  DISPPARAMS params{argsLastFirst.data(), namedCount ? &named : nullptr, UINT(argsLastFirst.size()), namedCount};
  EXCEPINFO exception = {};
  UINT argError = 0;
  return control->Invoke(dispid, IID_NULL, 0, flags, &params, result, &exception, &argError);
}

VARIANTARG Int(int value) {
  VARIANTARG v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

TEST(ControlDispatch, NamesWithLocaleZeroComeFromTheTableInAnyCase) {
  ComPtr<IDispatch> control = NewControl();
  std::vector<DISPID> ids;
  EXPECT_EQ(Ids(control.Get(), {L"run"}, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 1000);
  EXPECT_EQ(Ids(control.Get(), {L"RUN"}, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 1000);
  EXPECT_EQ(Ids(control.Get(), {L"ResetUrl"}, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 1003);
  EXPECT_EQ(Ids(control.Get(), {L"Reset"}, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  // Argument names are not known, but the member's id is filled in.
  EXPECT_EQ(Ids(control.Get(), {L"RunCmd", L"cmd", L"async"}, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids, (std::vector<DISPID>{1002, DISPID_UNKNOWN, DISPID_UNKNOWN}));
}

TEST(ControlDispatch, NamesWithALocaleComeFromTheTypeLibrary) {
  ComPtr<IDispatch> control = NewControl();
  std::vector<DISPID> ids;
  EXPECT_EQ(Ids(control.Get(), {L"Run"}, 0x0409, ids), S_OK);
  EXPECT_EQ(ids[0], 1000);
  EXPECT_EQ(Ids(control.Get(), {L"ResetUrl"}, 0x0409, ids), S_OK);
  EXPECT_EQ(ids[0], 1003);
  EXPECT_EQ(Ids(control.Get(), {L"NoSuchMember"}, 0x0409, ids), DISP_E_UNKNOWNNAME);
}

TEST(ControlDispatch, NameLookupRefusesOtherInterfacesAndEmptyLists) {
  ComPtr<IDispatch> control = NewControl();
  DISPID id;
  LPOLESTR name = const_cast<LPOLESTR>(L"Run");
  EXPECT_EQ(control->GetIDsOfNames(IID_IDispatch, &name, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &name, 0, 0, &id), E_INVALIDARG);
}

TEST(ControlDispatch, TypeInformationIsOneInterface) {
  ComPtr<IDispatch> control = NewControl();
  UINT count = 0;
  EXPECT_EQ(control->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(control->GetTypeInfo(1, 0, info.Put()), DISP_E_BADINDEX);
  ASSERT_EQ(control->GetTypeInfo(0, 0x0409, info.Put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid.Data1, 0x2AE993D0u);
  info->ReleaseTypeAttr(attributes);
}

TEST(ControlDispatch, CallsBeforeInitialisationAreRefused) {
  ComPtr<IDispatch> control = NewControl();
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(Call(control.Get(), 1003, {}, &result), E_UNEXPECTED);
  EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST(ControlDispatch, InvocationErrors) {
  ComPtr<IDispatch> control = NewInitialisedControl();
  EXPECT_EQ(Call(control.Get(), 1005, {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(control.Get(), 1003, {Int(1)}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(control.Get(), 1001, {}), DISP_E_PARAMNOTOPTIONAL);
  VARIANTARG missing;
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(Call(control.Get(), 1001, {missing}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(Call(control.Get(), 1001, {Int(1)}, nullptr, DISPATCH_METHOD, 1), DISP_E_NONAMEDARGS);
  EXPECT_EQ(Call(control.Get(), 1000, {Int(5)}), DISP_E_TYPEMISMATCH);  // not an object
  EXPECT_EQ(Call(control.Get(), 1001, {Int(70000)}), DISP_E_TYPEMISMATCH);  // not a short
  Variant text;
  text->vt = VT_BSTR;
  text->bstrVal = SysAllocString(L"abc");
  EXPECT_EQ(Call(control.Get(), 1001, {*text.Get()}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(control.Get(), 1003, {}, nullptr, DISPATCH_PROPERTYPUT), DISP_E_MEMBERNOTFOUND);
}

// Reading a method as a property runs nothing: the reset signal the client
// set is still there for the call that follows, made as VBScript makes it.
TEST(ControlDispatch, APropertyReadOfAMethodRunsNothing) {
  ComPtr<IDispatch> control = NewInitialisedControl();
  HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent");
  ASSERT_NE(nullptr, event);
  ASSERT_TRUE(SetEvent(event));
  Variant result;
  EXPECT_EQ(Call(control.Get(), 1003, {}, result.Get(), DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(result->vt, VT_EMPTY);
  // AboutBox read as a property opens no dialog: without one the call returns at once.
  EXPECT_EQ(Call(control.Get(), -552 /* AboutBox */, {}, nullptr, DISPATCH_PROPERTYGET), DISP_E_MEMBERNOTFOUND);
  ASSERT_EQ(Call(control.Get(), 1003, {}, result.Put(), DISPATCH_METHOD | DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(result->vt, VT_BOOL);
  EXPECT_EQ(result->boolVal, VARIANT_TRUE);
  ASSERT_EQ(Call(control.Get(), 1003, {}, result.Put()), S_OK);
  EXPECT_EQ(result->boolVal, VARIANT_FALSE);
  CloseHandle(event);
}

// Run takes the certificate login's road with "type" 2, which does nothing
// with an object that is not a page's window: no download, no poller, no box.
TEST(ControlDispatch, BooleanMembersGiveVtBool) {
  ComPtr<IDispatch> control = NewControl();
  ComPtr<PropertyBag> bag = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  bag->params[u"type"] = u"2";
  ASSERT_EQ(control.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(bag.Get(), nullptr), S_OK);
  ComPtr<EventSink> notAWindow = ComPtr<EventSink>::Adopt(new EventSink());
  VARIANTARG window;
  window.vt = VT_DISPATCH;
  window.pdispVal = notAWindow.Get();
  Variant result;
  ASSERT_EQ(Call(control.Get(), 1000, {window}, result.Get()), S_OK);
  EXPECT_EQ(result->vt, VT_BOOL);
  EXPECT_EQ(result->boolVal, VARIANT_FALSE);
  EXPECT_EQ(notAWindow->calls, 0);

  // RunCmd's flag converts from a number: 5 is true, so the call returns only
  // once the program has ended and what it wrote is there.
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  std::wstring marker = std::wstring(folder) + L"runcmd_waited.txt";
  DeleteFileW(marker.c_str());
  Variant command;
  command->vt = VT_BSTR;
  command->bstrVal = SysAllocString((L"cmd.exe /c echo waited> \"" + marker + L"\"").c_str());
  ASSERT_EQ(Call(control.Get(), 1002, {Int(5), *command.Get()}, result.Put()), S_OK);
  EXPECT_EQ(result->vt, VT_BOOL);
  EXPECT_EQ(result->boolVal, VARIANT_TRUE);
  EXPECT_NE(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(marker.c_str());
  // The command converts from a number too; no program of that name starts.
  ASSERT_EQ(Call(control.Get(), 1002, {Int(0), Int(7)}, result.Put()), S_OK);
  EXPECT_EQ(result->vt, VT_BOOL);
  EXPECT_EQ(result->boolVal, VARIANT_FALSE);

  ASSERT_EQ(Call(control.Get(), 1003, {}, result.Put()), S_OK);
  EXPECT_EQ(result->vt, VT_BOOL);
  EXPECT_EQ(result->boolVal, VARIANT_FALSE);
  ASSERT_EQ(Call(control.Get(), 1001, {Int(1)}, result.Put()), S_OK);
  EXPECT_EQ(result->vt, VT_EMPTY);
}

}  // namespace
}  // namespace vorlane::tests
