#include "com/win32/control_base.h"

#include <new>

#include "com/win32/com_boundary.h"
#include "support/win32/bstr.h"
#include "support/win32/screen_dc.h"
#include "support/win32/variant.h"

namespace vorlane {
namespace {

constexpr ULONG kDestroyingReferences = 1UL << 30;

struct ScreenDpi {
  int x, y;
};

ScreenDpi QueryScreenDpi() {
  ScreenDc screen;
  if (!screen) return {96, 96};
  return {GetDeviceCaps(screen.Get(), LOGPIXELSX), GetDeviceCaps(screen.Get(), LOGPIXELSY)};
}

}  // namespace

ControlBase::ControlBase(const ControlDescription& description)
    : description_(description),
      eventsPoint_(this, *description.eventsIid, true),
      propertyNotifyPoint_(this, IID_IPropertyNotifySink, false),
      typeInfo_(*description.libId, description.libMajor, description.libMinor) {
  ScreenDpi dpi = QueryScreenDpi();
  properties_.extentX = PixelsToHimetric(kInitialWidthPixels, dpi.x);
  properties_.extentY = PixelsToHimetric(kInitialHeightPixels, dpi.y);
}

ControlBase::~ControlBase() { DestroyControlWindow(); }

STDMETHODIMP ControlBase::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == *description_.dispatchIid) {
    *out = static_cast<IDispatch*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else if (iid == IID_IOleObject) {
    *out = static_cast<IOleObject*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    *out = static_cast<IOleInPlaceObject*>(this);
  } else if (iid == IID_IOleInPlaceActiveObject) {
    *out = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (iid == IID_IOleControl) {
    *out = static_cast<IOleControl*>(this);
  } else if (iid == IID_IViewObject || iid == IID_IViewObject2 || iid == IID_IViewObjectEx) {
    *out = static_cast<IViewObjectEx*>(this);
  } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
    *out = static_cast<IPersistStreamInit*>(this);
  } else if (iid == IID_IPersistPropertyBag) {
    *out = static_cast<IPersistPropertyBag*>(this);
  } else if (iid == IID_IPersistStorage) {
    *out = static_cast<IPersistStorage*>(this);
  } else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
    *out = static_cast<IProvideClassInfo2*>(this);
  } else if (iid == IID_ISpecifyPropertyPages) {
    *out = static_cast<ISpecifyPropertyPages*>(this);
  } else if (iid == IID_IQuickActivate) {
    *out = static_cast<IQuickActivate*>(this);
  } else {
    for (const InterfaceEntry& entry : description_.interfaces) {
      if (iid == *entry.iid) {
        *out = entry.get(*this);
        break;
      }
    }
  }
  if (!*out) return E_NOINTERFACE;
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ControlBase::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) ControlBase::Release() {
  ULONG left = --references_;
  if (left == 0) {
    // Parked far from 0: a site that takes and drops a reference while the
    // destructor deactivates cannot start a second destruction.
    references_ = kDestroyingReferences;
    delete this;
  }
  return left;
}

void ControlBase::FireEvent(DISPID dispid, std::span<VARIANTARG> argsInOrder) {
  // Invoke takes its arguments last first.
  std::vector<VARIANTARG> reversed(argsInOrder.rbegin(), argsInOrder.rend());
  DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
  ComPtr<IUnknown> keepAlive(Identity());  // a sink may release the control
  for (const ComPtr<IUnknown>& sink : eventsPoint_.Sinks()) {
    // What the sink advised is its event dispinterface: the IDispatch to call.
    auto* target = static_cast<IDispatch*>(sink.Get());
    Variant result;
    EXCEPINFO exception = {};
    UINT argError = 0;
    target->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.Get(), &exception,
                   &argError);
    // A failing sink is skipped; what it reported is not ours to keep.
    Bstr::Adopt(exception.bstrSource);
    Bstr::Adopt(exception.bstrDescription);
    Bstr::Adopt(exception.bstrHelpFile);
  }
}

void ControlBase::ExchangeProperties(PropertyExchange& exchange) {
  ExchangeFrameworkProperties(exchange, properties_);
  DoPropExchange(exchange);
}

HRESULT ControlBase::LoadFrom(PropertyStore& store) {
  HRESULT hr = ComBoundary([&] {
    PropertyExchange exchange(ExchangeMode::Load, &store);
    ExchangeProperties(exchange);
    return S_OK;
  });
  if (FAILED(hr)) return hr;
  initialised_ = true;
  dirty_ = false;
  InvalidateControl();
  return S_OK;
}

HRESULT ControlBase::SaveTo(PropertyStore& store) {
  return ComBoundary([&] {
    PropertyExchange exchange(ExchangeMode::Save, &store);
    ExchangeProperties(exchange);
    return S_OK;
  });
}

void ControlBase::OnResetState() {
  PropertyExchange exchange(ExchangeMode::Reset, nullptr);
  ExchangeProperties(exchange);
  InvalidateControl();
}

void ControlBase::InvalidateControl() {
  if (window_) InvalidateRect(window_, nullptr, TRUE);
  if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace vorlane
