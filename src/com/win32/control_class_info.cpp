// IOleControl, IProvideClassInfo2, ISpecifyPropertyPages, IQuickActivate
// and the properties verb.
#include <olectl.h>

#include "com/win32/com_boundary.h"
#include "com/win32/control_base.h"
#include "support/win32/co_task_memory.h"

namespace vorlane {

STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP ControlBase::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP ControlBase::OnAmbientPropertyChange(DISPID) { return S_OK; }
STDMETHODIMP ControlBase::FreezeEvents(BOOL) { return S_OK; }

STDMETHODIMP ControlBase::GetClassInfo(ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return ComBoundary([&] { return typeInfo_.GetTypeInfo(*description_.clsid, LOCALE_NEUTRAL, out); });
}

STDMETHODIMP ControlBase::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = *description_.eventsIid;
  return S_OK;
}

STDMETHODIMP ControlBase::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  const auto& list = description_.propertyPages;
  if (list.empty()) return S_OK;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(list.size() * sizeof(GUID)));
  if (!pages->pElems) return E_OUTOFMEMORY;
  for (std::size_t i = 0; i < list.size(); ++i) pages->pElems[i] = list[i];
  pages->cElems = ULONG(list.size());
  return S_OK;
}

// The container hands over its site and sinks in one call.
STDMETHODIMP ControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
  HRESULT hr = SetClientSite(container->pClientSite);
  if (FAILED(hr)) return hr;
  control->dwMiscStatus = description_.miscStatus;
  GetViewStatus(&control->dwViewStatus);
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  control->dwPointerActivationPolicy = 0;
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  if (container->pUnkEventSink) eventsPoint_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pPropertyNotifySink) {
    propertyNotifyPoint_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  }
  return S_OK;
}

STDMETHODIMP ControlBase::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }
STDMETHODIMP ControlBase::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

HRESULT ControlBase::OnProperties(HWND parent) {
  if (ComPtr<IOleControlSite> controlSite = site_.As<IOleControlSite>(IID_IOleControlSite)) {
    if (SUCCEEDED(controlSite->ShowPropertyFrame())) return S_OK;
  }
  CAUUID pages = {};
  HRESULT hr = GetPages(&pages);
  if (FAILED(hr)) return hr;
  CoTaskMemory<GUID> pageIds(pages.pElems);
  IUnknown* object = Identity();
  return OleCreatePropertyFrame(parent ? parent : window_, 0, 0, nullptr, 1, &object, pages.cElems, pageIds.Get(),
                                LOCALE_USER_DEFAULT, 0, nullptr);
}

}  // namespace vorlane
