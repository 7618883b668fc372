#include "self_signed_certificate.h"

#include <openssl/rsa.h>
#include <openssl/x509v3.h>

namespace vorlane::tests {
namespace {

SelfSignedCertificate Make() {
  SelfSignedCertificate made;
  EVP_PKEY* key = EVP_RSA_gen(2048);
  X509* cert = X509_new();
  if (key == nullptr || cert == nullptr) {
    EVP_PKEY_free(key);
    X509_free(cert);
    return made;
  }
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 7 * 24 * 3600);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                             -1, 0);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Test Gateway"), -1,
                             -1, 0);
  X509_set_issuer_name(cert, name);
  if (X509_sign(cert, key, EVP_sha256()) == 0) {
    EVP_PKEY_free(key);
    X509_free(cert);
    return made;
  }
  made.key = key;
  made.certificate = cert;
  return made;
}

}  // namespace

const SelfSignedCertificate& LoopbackCertificate() {
  static const SelfSignedCertificate made = Make();
  return made;
}

}  // namespace vorlane::tests
