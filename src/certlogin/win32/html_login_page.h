#pragma once
// The login's page port over the MSHTML window object a portal passes to Run.
#include <memory>

#include <oaidl.h>

#include "certlogin/login_ports.h"

namespace vorlane {

// Null when object is null or is not an IHTMLWindow2. The page holds the
// window, its location and its document while it lives.
std::unique_ptr<LoginPage> OpenLoginPage(IDispatch* object);

}  // namespace vorlane
