#pragma once
// The certificate login as Run starts it: with the page's window object.
#include <cstdint>

#include <oaidl.h>

#include "certlogin/login_options.h"

namespace vorlane {

// One attempt with the real platform: the page read through MSHTML, TLS
// through OpenSSL and its capi engine, the cookies into WinINet's store.
void CertificateLoginWithWindow(IDispatch* window, std::uint16_t type, const LoginOptions& options = {});

}  // namespace vorlane
