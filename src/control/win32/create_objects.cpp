#include "control/win32/create_objects.h"

namespace vorlane {

// The control and its property page are being built; until then the factories
// report that the class cannot be made.
HRESULT CreateVorlaneCtrl(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT CreateVorlanePropPage(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

}  // namespace vorlane
