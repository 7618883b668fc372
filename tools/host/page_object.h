#pragma once
// Common ground of the fake page objects: reference counting, QueryInterface
// for IUnknown, IDispatch and the object's own interface, and the report of
// every member no fake scripts, IDispatch's included (the control calls the
// page objects through their interfaces, never by name).
#include <windows.h>
#include <mshtml.h>

#include <memory>

#include "com/win32/com_object.h"
#include "page_state.h"
#include "support/win32/bstr.h"
#include "support/win32/variant.h"
#include "unscripted_calls.h"

namespace vorlane::host {

template <class Interface>
constexpr const char* kPageInterfaceName = "page object";
template <>
constexpr const char* kPageInterfaceName<IHTMLWindow2> = "IHTMLWindow2";
template <>
constexpr const char* kPageInterfaceName<IHTMLDocument2> = "IHTMLDocument2";
template <>
constexpr const char* kPageInterfaceName<IHTMLLocation> = "IHTMLLocation";

template <class Interface>
class PageObject : public ComObject<Interface> {
 public:
  explicit PageObject(std::shared_ptr<PageState> page) : page_(std::move(page)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface))
      return this->Answer(static_cast<Interface*>(this), out);
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unscripted("GetTypeInfo"); }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    Unscripted("GetIDsOfNames");
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    Unscripted("Invoke");
    return DISP_E_MEMBERNOTFOUND;
  }

 protected:
  static HRESULT Unscripted(const char* member) {
    return ReportUnscriptedCall(kPageInterfaceName<Interface>, member);
  }
  static HRESULT Deliver(const std::u16string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = Bstr(text).Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  const std::shared_ptr<PageState> page_;
};

}  // namespace vorlane::host
