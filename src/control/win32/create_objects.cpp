#include "control/win32/create_objects.h"

#include "control/win32/vorlane_ctrl.h"
#include "control/win32/vorlane_prop_page.h"

namespace vorlane {

HRESULT CreateVorlaneCtrl(REFIID iid, void** out) { return CVorlaneCtrl::Create(iid, out); }

HRESULT CreateVorlanePropPage(REFIID iid, void** out) { return CVorlanePropPage::Create(iid, out); }

}  // namespace vorlane
