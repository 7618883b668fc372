// IOleInPlaceObject and IOleInPlaceActiveObject: activation inside the
// site's window, and deactivation.
#include "com/win32/control_base.h"

namespace vorlane {

HRESULT ControlBase::InPlaceActivate(LONG verb) {
  if (!site_) return E_UNEXPECTED;
  if (!inPlaceActive_) {
    ComPtr<IOleInPlaceSite> site = site_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    HRESULT hr = site->OnInPlaceActivate();
    if (FAILED(hr)) return hr;
    inPlaceSite_ = site;
    inPlaceActive_ = true;

    HWND parent = nullptr;
    RECT position = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    if (FAILED(site->GetWindow(&parent)) ||
        FAILED(site->GetWindowContext(frame_.Put(), document_.Put(), &position, &clip, &frameInfo))) {
      InPlaceDeactivate();
      return E_FAIL;
    }
    hr = CreateControlWindow(parent, position);
    if (FAILED(hr)) {
      InPlaceDeactivate();
      return hr;
    }
  }
  if (window_) ShowWindow(window_, SW_SHOW);
  if (verb == OLEIVERB_UIACTIVATE && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    // The container routes keys and focus to the active object it is told of.
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (frame_) frame_->SetActiveObject(active, nullptr);
    if (document_) document_->SetActiveObject(active, nullptr);
    if (window_) SetFocus(window_);
  }
  return S_OK;
}

STDMETHODIMP ControlBase::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP ControlBase::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ControlBase::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  UIDeactivate();
  DestroyControlWindow();
  inPlaceActive_ = false;
  frame_ = {};
  document_ = {};
  ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
  if (site) site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP ControlBase::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (document_) document_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP ControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  position_ = *position;
  if (window_) {
    MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  }
  return S_OK;
}

STDMETHODIMP ControlBase::ReactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP ControlBase::TranslateAccelerator(LPMSG) { return S_FALSE; }
STDMETHODIMP ControlBase::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ControlBase::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ControlBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP ControlBase::EnableModeless(BOOL) { return S_OK; }

}  // namespace vorlane
