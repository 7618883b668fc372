// IDispatch served from the control's dispatch table.
#include <new>
#include <string>
#include <vector>

#include "com/win32/bstr.h"
#include "com/win32/com_boundary.h"
#include "com/win32/com_error.h"
#include "com/win32/control_base.h"
#include "support/win32/wide_text.h"

namespace vorlane {

static_assert(kDispIdUnknown == DISPID_UNKNOWN);
static_assert(kDispIdAboutBox == DISPID_ABOUTBOX);

namespace {

VARTYPE VariantTypeOf(ArgType type) {
  switch (type) {
    case ArgType::Dispatch: return VT_DISPATCH;
    case ArgType::Short: return VT_I2;
    case ArgType::Text: return VT_BSTR;
    case ArgType::Boolean: return VT_BOOL;
  }
  return VT_EMPTY;
}

bool IsMissing(const VARIANTARG& arg) { return arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND; }

// Fills the caller's exception record for an error raised inside a member.
void DescribeException(EXCEPINFO* exception, const char* what) {
  if (!exception) return;
  *exception = {};
  exception->scode = E_FAIL;
  exception->bstrSource = SysAllocString(L"vorlane");
  std::wstring text;
  for (const char* p = what; p && *p; ++p) text.push_back(wchar_t(static_cast<unsigned char>(*p)));
  exception->bstrDescription = SysAllocString(text.c_str());
}

}  // namespace

STDMETHODIMP ControlBase::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP ControlBase::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return ComBoundary([&] { return typeInfo_.GetTypeInfo(*description_.dispatchIid, lcid, out); });
}

STDMETHODIMP ControlBase::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return E_INVALIDARG;
  if (!names || !ids) return E_POINTER;
  if (lcid == 0) return ResolveNames(names, count, ids);
  return ComBoundary([&] {
    ComPtr<ITypeInfo> info;
    HRESULT hr = typeInfo_.GetTypeInfo(*description_.dispatchIid, lcid, info.Put());
    if (FAILED(hr)) return hr;
    return info->GetIDsOfNames(names, count, ids);
  });
}

// Locale 0: the member name against the table; argument names are not known.
HRESULT ControlBase::ResolveNames(LPOLESTR* names, UINT count, DISPID* ids) {
  const DispatchEntry* member = FindMemberByName(description_.dispatch, AsUtf16(names[0]));
  ids[0] = member ? member->dispid : DISPID_UNKNOWN;
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return (member && count == 1) ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ControlBase::Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argError) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  if (!initialised_) return E_UNEXPECTED;
  bool propertyPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  bool putsOneValue = propertyPut && params->cNamedArgs == 1 && params->rgdispidNamedArgs &&
                      params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  if (params->cNamedArgs != 0 && !putsOneValue) return DISP_E_NONAMEDARGS;
  const DispatchEntry* member = FindMemberById(description_.dispatch, dispid);
  // Every member is a method: there is nothing to put.
  if (!member || propertyPut) return DISP_E_MEMBERNOTFOUND;
  if (result) VariantInit(result);

  ComPtr<IUnknown> keepAlive(Identity());  // a body may run a modal loop
  try {
    return InvokeMember(*member, params, result, argError);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const ComError& error) {
    return error.Code();
  } catch (const std::exception& error) {
    DescribeException(exception, error.what());
  } catch (...) {
    DescribeException(exception, "unexpected error");
  }
  return DISP_E_EXCEPTION;
}

HRESULT ControlBase::InvokeMember(const DispatchEntry& member, DISPPARAMS* params, VARIANT* result,
                                  UINT* argError) {
  switch (CheckArgumentCount(member, params->cArgs)) {
    case ArgCountCheck::TooMany: return DISP_E_BADPARAMCOUNT;
    case ArgCountCheck::TooFew: return DISP_E_PARAMNOTOPTIONAL;
    case ArgCountCheck::Fits: break;
  }
  Variant converted[kMaxDispatchArgs];
  VARIANTARG args[kMaxDispatchArgs];
  for (UINT i = 0; i < member.argCount; ++i) {
    UINT position = params->cArgs - 1 - i;  // Invoke passes the arguments last first
    VARIANTARG& given = params->rgvarg[position];
    if (IsMissing(given)) {
      if (argError) *argError = position;
      return DISP_E_PARAMNOTOPTIONAL;
    }
    if (FAILED(VariantChangeType(converted[i].Get(), &given, 0, VariantTypeOf(member.args[i])))) {
      if (argError) *argError = position;
      return DISP_E_TYPEMISMATCH;
    }
    args[i] = *converted[i].Get();
  }
  std::int32_t value = CallMember(member, args);
  if (result && member.result == ResultType::Boolean) {
    result->vt = VT_BOOL;
    result->boolVal = BooleanResult(value) ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return S_OK;
}

}  // namespace vorlane
