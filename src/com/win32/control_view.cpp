// IViewObject2 and IViewObjectEx: drawing into a container's device context,
// and what a container asks of an opaque windowed control before drawing it.
#include "com/win32/control_base.h"

namespace vorlane {

STDMETHODIMP ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (dc && !bounds) return E_INVALIDARG;
  RECT area = {};
  if (bounds) area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  OnDraw(dc, area);
  return S_OK;
}

STDMETHODIMP ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** palette) {
  if (palette) *palette = nullptr;
  return S_FALSE;
}

STDMETHODIMP ControlBase::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP ControlBase::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = ComPtr<IAdviseSink>(sink);
  viewAspects_ = aspects;
  viewFlags_ = flags;
  return S_OK;
}

STDMETHODIMP ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) {
    *sink = viewSink_.Get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// The content covers the whole extent; there is no other rectangle to name.
STDMETHODIMP ControlBase::GetRect(DWORD aspect, LPRECTL rect) {
  if (!rect) return E_POINTER;
  return aspect == DVASPECT_CONTENT ? E_NOTIMPL : DV_E_DVASPECT;
}

// Every pixel of the bounds is painted, white first: nothing behind the
// control needs drawing.
STDMETHODIMP ControlBase::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  return S_OK;
}

STDMETHODIMP ControlBase::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) {
  if (!bounds || !hit) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *hit = PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

STDMETHODIMP ControlBase::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT area, LONG, DWORD* hit) {
  if (!bounds || !area || !hit) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  RECT overlap;
  *hit = IntersectRect(&overlap, bounds, area) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

// The control has no size of its own beyond the extent the container gives.
STDMETHODIMP ControlBase::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
  return E_NOTIMPL;
}

}  // namespace vorlane
