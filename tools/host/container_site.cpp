#include "container_site.h"

#include <olectl.h>

namespace vorlane::host {
namespace {

constexpr int kHimetricPerInch = 2540;

// The site's container: the page's document under the IOleContainer a
// control asks the site for.
class PageContainer final : public ComObject<IOleContainer> {
 public:
  explicit PageContainer(IUnknown* document) : document_(document) { document_->AddRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleContainer || iid == IID_IParseDisplayName)
      return Answer(static_cast<IOleContainer*>(this), out);
    return document_->QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, IEnumUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockContainer(BOOL) override { return S_OK; }

 private:
  ~PageContainer() override { document_->Release(); }
  IUnknown* const document_;
};

}  // namespace

ContainerSite::~ContainerSite() {
  if (container_) container_->Release();
}

void ContainerSite::SetDocument(IUnknown* document) {
  if (container_) container_->Release();
  container_ = document ? new PageContainer(document) : nullptr;
}

HRESULT ContainerSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    return Answer(static_cast<IOleClientSite*>(this), out);
  if (iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx || iid == IID_IOleWindow)
    return Answer(static_cast<IOleInPlaceSiteEx*>(this), out);
  if (iid == IID_IOleInPlaceFrame || iid == IID_IOleInPlaceUIWindow)
    return Answer(static_cast<IOleInPlaceFrame*>(this), out);
  if (iid == IID_IOleControlSite) return Answer(static_cast<IOleControlSite*>(this), out);
  if (iid == IID_IDispatch) return Answer(static_cast<IDispatch*>(this), out);
  return E_NOINTERFACE;
}

HRESULT ContainerSite::GetContainer(IOleContainer** out) {
  if (!out) return E_POINTER;
  *out = container_;
  if (!container_) return E_NOINTERFACE;
  container_->AddRef();
  return S_OK;
}

HRESULT ContainerSite::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = window_;
  return S_OK;
}

HRESULT ContainerSite::OnInPlaceActivate() {
  in_place_active_ = true;
  return S_OK;
}

HRESULT ContainerSite::OnInPlaceActivateEx(BOOL* no_redraw, DWORD) {
  if (no_redraw) *no_redraw = FALSE;
  return OnInPlaceActivate();
}

HRESULT ContainerSite::OnInPlaceDeactivate() {
  in_place_active_ = false;
  return S_OK;
}

HRESULT ContainerSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  AddRef();
  *frame = this;
  *document = nullptr;  // the frame is the document window too
  GetClientRect(window_, position);
  *clip = *position;
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT ContainerSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (!himetric || !container) return E_POINTER;
  HDC screen = GetDC(nullptr);
  float dpi_x = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX));
  float dpi_y = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = himetric->x * dpi_x / kHimetricPerInch;
    container->y = himetric->y * dpi_y / kHimetricPerInch;
  } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / dpi_x + 0.5f);
    himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / dpi_y + 0.5f);
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT ContainerSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ContainerSite::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                              EXCEPINFO*, UINT*) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
  VariantInit(result);
  // A page being browsed: the control runs, not designed.
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = VARIANT_TRUE;
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_MESSAGEREFLECT:
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = VARIANT_FALSE;
      return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(GetSysColor(COLOR_WINDOW));
      return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(GetSysColor(COLOR_WINDOWTEXT));
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace vorlane::host
