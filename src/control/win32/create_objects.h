#pragma once
// What the class factories make: a fresh object per call, answered for iid.
#include <windows.h>

namespace vorlane {

HRESULT CreateVorlaneCtrl(REFIID iid, void** out);
HRESULT CreateVorlanePropPage(REFIID iid, void** out);

}  // namespace vorlane
