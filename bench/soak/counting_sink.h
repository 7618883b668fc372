#pragma once
// An event sink for the control's OnClientMessage.
#include <windows.h>

#include "com/win32/com_object.h"
#include "control/control_tables.h"

namespace vorlane::bench {

// Counts OnClientMessage and signals each one; keeps nothing else, so that a
// long run does not grow the process by what the sink records.
class CountingSink final : public vorlane::ComObject<IDispatch> {
 public:
  CountingSink(IID events, HANDLE arrived) : events_(events), arrived_(arrived) {}
  long Count() const { return count_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) return Answer(static_cast<IDispatch*>(this), out);
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (id == vorlane::kDispIdOnClientMessage) {
      ++count_;
      SetEvent(arrived_);
    }
    if (result) VariantInit(result);
    return S_OK;
  }

 private:
  const IID events_;
  const HANDLE arrived_;
  long count_ = 0;  // touched on the UI thread only
};

}  // namespace vorlane::bench
