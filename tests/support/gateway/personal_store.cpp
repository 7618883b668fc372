#include "personal_store.h"

#include <windows.h>
#include <wincrypt.h>

#include <openssl/bio.h>
#include <openssl/pem.h>

#include <string>

namespace vorlane::tests {
namespace {

HCERTSTORE OpenPersonalStore() {
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"MY");
}

// The registry part of the store alone: deleting through the system store's
// collection does not last.
HCERTSTORE OpenPersonalRegistryStore() {
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"MY");
}

// The key as a CryptoAPI PRIVATEKEYBLOB.
std::string PrivateKeyBlob(EVP_PKEY* key) {
  BIO* bio = BIO_new(BIO_s_mem());
  std::string blob;
  if (bio && i2b_PrivateKey_bio(bio, key) > 0) {
    char* bytes = nullptr;
    long length = BIO_get_mem_data(bio, &bytes);
    blob.assign(bytes, static_cast<std::size_t>(length));
  }
  BIO_free(bio);
  return blob;
}

bool ImportKey(EVP_PKEY* key, const wchar_t* container) {
  std::string blob = PrivateKeyBlob(key);
  if (blob.empty()) return false;
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, container, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES, CRYPT_NEWKEYSET) &&
      !CryptAcquireContextW(&provider, container, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES, 0)) {
    return false;
  }
  HCRYPTKEY imported = 0;
  bool done = CryptImportKey(provider, reinterpret_cast<const BYTE*>(blob.data()), static_cast<DWORD>(blob.size()),
                             0, CRYPT_EXPORTABLE, &imported);
  if (imported) CryptDestroyKey(imported);
  CryptReleaseContext(provider, 0);
  return done;
}

// Adds the certificate with its key properties naming `container`.
bool AddCertificateNamingKey(const IssuedCertificate& issued, const wchar_t* container) {
  std::string der = DerBytes(issued.certificate);
  PCCERT_CONTEXT context = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                                        reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size()));
  if (!context) return false;
  CRYPT_KEY_PROV_INFO info{};
  info.pwszContainerName = const_cast<wchar_t*>(container);
  info.pwszProvName = const_cast<wchar_t*>(MS_ENH_RSA_AES_PROV_W);
  info.dwProvType = PROV_RSA_AES;
  info.dwKeySpec = AT_KEYEXCHANGE;
  bool done = CertSetCertificateContextProperty(context, CERT_KEY_PROV_INFO_PROP_ID, 0, &info);
  HCERTSTORE store = OpenPersonalStore();
  // A fresh context replacing the stored one: edits of a stored certificate
  // do not last everywhere.
  done = done && store && CertAddCertificateContextToStore(store, context, CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  if (store) CertCloseStore(store, 0);
  CertFreeCertificateContext(context);
  return done;
}

// The stored copy of the certificate in store; null when there is none.
PCCERT_CONTEXT FindStored(HCERTSTORE store, const IssuedCertificate& issued) {
  std::string der = DerBytes(issued.certificate);
  PCCERT_CONTEXT wanted = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                                       reinterpret_cast<const BYTE*>(der.data()),
                                                       static_cast<DWORD>(der.size()));
  if (!wanted) return nullptr;
  PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                                    CERT_FIND_EXISTING, wanted, nullptr);
  CertFreeCertificateContext(wanted);
  return found;
}

}  // namespace

bool HoldsCertificate(const IssuedCertificate& issued) {
  HCERTSTORE store = OpenPersonalStore();
  if (!store) return false;
  PCCERT_CONTEXT found = FindStored(store, issued);
  if (found) CertFreeCertificateContext(found);
  CertCloseStore(store, 0);
  return found != nullptr;
}

bool RemoveClientCertificate(const IssuedCertificate& issued, const wchar_t* container) {
  HCERTSTORE store = OpenPersonalRegistryStore();
  bool removed = store != nullptr;
  if (store) {
    // Deleting frees the context it is given.
    while (PCCERT_CONTEXT found = FindStored(store, issued)) {
      if (!CertDeleteCertificateFromStore(found)) {
        removed = false;
        break;
      }
    }
    CertCloseStore(store, 0);
  }
  HCRYPTPROV provider = 0;
  CryptAcquireContextW(&provider, container, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES, CRYPT_DELETEKEYSET);
  HCRYPTPROV probe = 0;
  if (CryptAcquireContextW(&probe, container, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES, 0)) {
    CryptReleaseContext(probe, 0);
    removed = false;
  }
  return removed && !HoldsCertificate(issued);
}

bool InstallClientCertificate(const IssuedCertificate& issued, const wchar_t* container) {
  if (!issued.key || !ImportKey(issued.key, container)) return false;
  return AddCertificateNamingKey(issued, container);
}

bool InstallCertificateWithoutKey(const IssuedCertificate& issued, const wchar_t* container) {
  HCRYPTPROV provider = 0;
  // Whatever an earlier run left in that container goes first.
  CryptAcquireContextW(&provider, container, MS_ENH_RSA_AES_PROV_W, PROV_RSA_AES, CRYPT_DELETEKEYSET);
  return AddCertificateNamingKey(issued, container);
}

bool EmptyPersonalStore() {
  HCERTSTORE store = OpenPersonalRegistryStore();
  if (!store) return false;
  // Deleting frees the context handed in, so always start again from the first.
  bool emptied = true;
  while (PCCERT_CONTEXT first = CertEnumCertificatesInStore(store, nullptr)) {
    if (!CertDeleteCertificateFromStore(first)) {
      emptied = false;
      break;
    }
  }
  CertCloseStore(store, 0);
  return emptied;
}

int PersonalStoreCount() {
  HCERTSTORE store = OpenPersonalStore();
  if (!store) return -1;
  int count = 0;
  for (PCCERT_CONTEXT at = nullptr; (at = CertEnumCertificatesInStore(store, at)) != nullptr;) ++count;
  CertCloseStore(store, 0);
  return count;
}

}  // namespace vorlane::tests
