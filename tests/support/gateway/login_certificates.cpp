#include "login_certificates.h"

#include <openssl/rsa.h>
#include <openssl/x509v3.h>

namespace vorlane::tests {
namespace {

void AddName(X509_NAME* name, const char* field, const char* value) {
  X509_NAME_add_entry_by_txt(name, field, MBSTRING_ASC, reinterpret_cast<const unsigned char*>(value), -1, -1, 0);
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  if (extension) X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

// Issued by `issuer` (self-signed when it has no certificate yet).
IssuedCertificate Issue(const IssuedCertificate* issuer, const char* commonName, long serial, bool authority,
                        const char* usage) {
  IssuedCertificate made;
  EVP_PKEY* key = EVP_RSA_gen(2048);
  X509* certificate = X509_new();
  if (!key || !certificate) {
    EVP_PKEY_free(key);
    X509_free(certificate);
    return made;
  }
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
  X509_gmtime_adj(X509_getm_notAfter(certificate), 30L * 24 * 3600);
  X509_set_pubkey(certificate, key);
  X509_NAME* name = X509_get_subject_name(certificate);
  AddName(name, "CN", commonName);
  AddName(name, "O", "Vorlane Test");
  X509* issuerCertificate = issuer ? issuer->certificate : certificate;
  X509_set_issuer_name(certificate, X509_get_subject_name(issuerCertificate));
  AddExtension(certificate, issuerCertificate, NID_basic_constraints, authority ? "critical,CA:TRUE" : "CA:FALSE");
  AddExtension(certificate, issuerCertificate, NID_key_usage,
               authority ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature,keyEncipherment");
  if (usage) AddExtension(certificate, issuerCertificate, NID_ext_key_usage, usage);
  if (X509_sign(certificate, issuer ? issuer->key : key, EVP_sha256()) == 0) {
    EVP_PKEY_free(key);
    X509_free(certificate);
    return made;
  }
  made.key = key;
  made.certificate = certificate;
  return made;
}

LoginCertificates Make() {
  LoginCertificates made;
  made.authority = Issue(nullptr, "Vorlane Test CA", 1, true, nullptr);
  if (!made.authority.key) return made;
  made.gateway = Issue(&made.authority, "127.0.0.1", 2, false, "serverAuth");
  made.user = Issue(&made.authority, "Test User", 3, false, "clientAuth");
  return made;
}

}  // namespace

const LoginCertificates& TestLoginCertificates() {
  static const LoginCertificates made = Make();
  return made;
}

std::string DerBytes(X509* certificate) {
  if (!certificate) return {};
  unsigned char* bytes = nullptr;
  int length = i2d_X509(certificate, &bytes);
  if (length <= 0) return {};
  std::string der(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(length));
  OPENSSL_free(bytes);
  return der;
}

std::string SubjectText(X509* certificate) {
  if (!certificate) return {};
  char text[256] = {};
  X509_NAME_oneline(X509_get_subject_name(certificate), text, sizeof text);
  return text;
}

}  // namespace vorlane::tests
