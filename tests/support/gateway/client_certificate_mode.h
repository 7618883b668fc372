#pragma once
// Whether a gateway simulator asks a connecting client for its certificate.
namespace vorlane::tests {

enum class ClientCertificateMode {
  Require,  // ask for one and refuse the handshake without one
  Request,  // ask for one and go on without
  Ignore,   // do not ask
};

}  // namespace vorlane::tests
