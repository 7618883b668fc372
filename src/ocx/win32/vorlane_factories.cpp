#include "ocx/win32/vorlane_factories.h"

#include "control/win32/vorlane_ctrl.h"
#include "control/win32/vorlane_prop_page.h"
#include "ocx/class_registrations.h"

namespace vorlane {

CVorlaneCtrlFactory::CVorlaneCtrlFactory() : ClassFactory(kControlRegistration, &CVorlaneCtrl::Create) {}

CVorlanePropPageFactory::CVorlanePropPageFactory()
    : ClassFactory(kPropPageRegistration, &CVorlanePropPage::Create) {}

}  // namespace vorlane
