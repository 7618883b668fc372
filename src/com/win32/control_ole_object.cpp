// IOleObject: site, verbs, extent, advise and close.
#include <cwchar>

#include "com/win32/control_base.h"
#include "support/win32/module_instance.h"

namespace vorlane {

STDMETHODIMP ControlBase::SetClientSite(IOleClientSite* site) {
  site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

STDMETHODIMP ControlBase::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.Get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP ControlBase::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP ControlBase::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  // Breaks reference cycles through sinks the container holds us by.
  eventsPoint_.Clear();
  propertyNotifyPoint_.Clear();
  return S_OK;
}

STDMETHODIMP ControlBase::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP ControlBase::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlBase::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP ControlBase::GetClipboardData(DWORD, IDataObject** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
  if (site && !site_) site_ = ComPtr<IOleClientSite>(site);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: {
      HRESULT hr = InPlaceActivate(verb);
      if (SUCCEEDED(hr) && rect && window_) SetObjectRects(rect, rect);
      return hr;
    }
    case OLEIVERB_HIDE:
      if (window_) ShowWindow(window_, SW_HIDE);
      return S_OK;
    case OLEIVERB_PROPERTIES:
      return OnProperties(parent);
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

STDMETHODIMP ControlBase::EnumVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  return OleRegEnumVerbs(*description_.clsid, out);
}

STDMETHODIMP ControlBase::Update() { return S_OK; }
STDMETHODIMP ControlBase::IsUpToDate() { return S_OK; }

STDMETHODIMP ControlBase::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = *description_.clsid;
  return S_OK;
}

STDMETHODIMP ControlBase::GetUserType(DWORD, LPOLESTR* type) {
  if (!type) return E_POINTER;
  *type = nullptr;
  const wchar_t* text = nullptr;
  int length = LoadStringW(ModuleInstance(), description_.userTypeNameString, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0) return OleRegGetUserType(*description_.clsid, USERCLASSTYPE_FULL, type);
  *type = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(wchar_t)));
  if (!*type) return E_OUTOFMEMORY;
  std::wmemcpy(*type, text, length);
  (*type)[length] = 0;
  return S_OK;
}

STDMETHODIMP ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  properties_.extentX = size->cx;
  properties_.extentY = size->cy;
  dirty_ = true;
  InvalidateControl();
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = {properties_.extentX, properties_.extentY};
  return S_OK;
}

STDMETHODIMP ControlBase::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!adviseHolder_) {
    HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Put());
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP ControlBase::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP ControlBase::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

STDMETHODIMP ControlBase::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = description_.miscStatus;
  return S_OK;
}

STDMETHODIMP ControlBase::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

}  // namespace vorlane
