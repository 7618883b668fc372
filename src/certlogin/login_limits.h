#pragma once
// The fixed values of the certificate login.
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace vorlane {

// Connect, each send and each receive give up after this, so a gateway that
// accepts and then never answers cannot hold the browser's UI thread for ever.
constexpr std::chrono::milliseconds kGatewayIoLimit{30000};
// After the navigation the UI thread waits this long with the TLS connection
// still open, so the gateway sees the session in use before it closes.
constexpr std::chrono::milliseconds kNavigationPause{1000};
// The markers are looked for only in this many first bytes of the reply.
constexpr std::size_t kReplyReadLimit = 512;
// The capi engine signs with RSA PKCS#1 v1.5 only: no RSA-PSS, and so no TLS 1.3.
constexpr char kClientSignatureAlgorithms[] = "RSA+SHA256:RSA+SHA384:RSA+SHA512";

}  // namespace vorlane
