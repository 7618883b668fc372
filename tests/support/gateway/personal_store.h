#pragma once
// The current user's personal ("MY") certificate store, where the capi engine
// looks for the client certificate, filled and emptied for tests and demos.
#include "login_certificates.h"

namespace vorlane::tests {

// Adds the certificate with its private key in a key container of its own
// (AT_KEYEXCHANGE, the kind of key the engine opens), replacing an earlier copy.
bool InstallClientCertificate(const IssuedCertificate& issued, const wchar_t* container);
// Adds the certificate naming a key container that holds no key, as a
// certificate whose smart card is not inserted: no usable key in the store.
bool InstallCertificateWithoutKey(const IssuedCertificate& issued, const wchar_t* container);
// Whether the store holds this very certificate.
bool HoldsCertificate(const IssuedCertificate& issued);
// Deletes this certificate from the store and its key container; true when
// neither is left.
bool RemoveClientCertificate(const IssuedCertificate& issued, const wchar_t* container);
// Deletes every certificate in the store; false when it cannot be opened.
bool EmptyPersonalStore();
int PersonalStoreCount();

}  // namespace vorlane::tests
