#pragma once
// A throw-away RSA key and self-signed certificate for 127.0.0.1, made with
// OpenSSL when first asked for and shared by every server of the process.
#include <openssl/evp.h>
#include <openssl/x509.h>

namespace vorlane::tests {

struct SelfSignedCertificate {
  EVP_PKEY* key = nullptr;
  X509* certificate = nullptr;
};

// Null members when OpenSSL could not make them.
const SelfSignedCertificate& LoopbackCertificate();

}  // namespace vorlane::tests
