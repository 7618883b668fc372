#pragma once
// What vorlane.ocx registers: its type library and its two classes.
#include "control/identifiers.h"
#include "module/class_registration.h"
#include "module/type_library_identity.h"

namespace vorlane {

constexpr TypeLibraryIdentity kVorlaneTypeLibrary{kLibId, kTypeLibMajor, kTypeLibMinor, kTypeLibLocale};

constexpr ControlEntries kVorlaneCtrlEntries{kToolboxBitmapId, kControlMiscStatus, kVorlaneTypeLibrary};

constexpr ClassRegistration kControlRegistration{kControlClsid, kControlTypeNameString, kControlProgId,
                                                 &kVorlaneCtrlEntries};
// The page's factory holds a ProgID but it is never registered.
constexpr ClassRegistration kPropPageRegistration{kPropPageClsid, kPropPageTypeNameString, nullptr, nullptr};

}  // namespace vorlane
