// IConnectionPointContainer: the event point and the property-notify point.
#include "com/win32/com_boundary.h"
#include "com/win32/control_base.h"

namespace vorlane {

STDMETHODIMP ControlBase::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return ComBoundary([&] {
    return CreateConnectionPointEnumerator(Identity(), {&eventsPoint_, &propertyNotifyPoint_}, out);
  });
}

STDMETHODIMP ControlBase::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == eventsPoint_.Iid()) {
    *out = &eventsPoint_;
  } else if (iid == propertyNotifyPoint_.Iid()) {
    *out = &propertyNotifyPoint_;
  } else {
    return CONNECT_E_NOCONNECTION;
  }
  (*out)->AddRef();
  return S_OK;
}

}  // namespace vorlane
