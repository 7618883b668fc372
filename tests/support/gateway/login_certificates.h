#pragma once
// The certificates of a login test, made with OpenSSL when first asked for
// and shared by the whole process: a test CA, the gateway's certificate for
// 127.0.0.1 and a user's client certificate, both issued by the CA.
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>

namespace vorlane::tests {

struct IssuedCertificate {
  EVP_PKEY* key = nullptr;
  X509* certificate = nullptr;
};

struct LoginCertificates {
  IssuedCertificate authority, gateway, user;
  bool Made() const { return authority.key && gateway.key && user.key; }
};

const LoginCertificates& TestLoginCertificates();

// The DER bytes of a certificate; empty for null.
std::string DerBytes(X509* certificate);
// "CN=...,O=..." of a certificate's subject.
std::string SubjectText(X509* certificate);

}  // namespace vorlane::tests
