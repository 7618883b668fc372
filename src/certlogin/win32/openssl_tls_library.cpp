#include "certlogin/win32/openssl_tls_library.h"

#include <openssl/engine.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdlib>

namespace vorlane {
namespace {

// The port's opaque types are the library's own objects.
SSL_CTX* Ctx(TlsContext* context) { return reinterpret_cast<SSL_CTX*>(context); }
SSL* Ssl(TlsConnection* connection) { return reinterpret_cast<SSL*>(connection); }
ENGINE* Engine(TlsEngine* engine) { return reinterpret_cast<ENGINE*>(engine); }

void CleanUpOpenSsl() { OPENSSL_cleanup(); }

// Left to itself, OpenSSL hands its clean-up to the C runtime's process-wide
// _onexit list, which runs at process exit after a browser may long have
// unloaded this module: a call into freed code. The module's own atexit list
// runs when the module is unloaded, while the code is still there.
void TieOpenSslToThisModule() {
  static const bool tied = [] {
    OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
    std::atexit(CleanUpOpenSsl);
    return true;
  }();
  (void)tied;
}

}  // namespace

void OpenSslTlsLibrary::Start() {
  TieOpenSslToThisModule();
  SSL_load_error_strings();
  SSL_library_init();
}

TlsContext* OpenSslTlsLibrary::NewClientContext() {
  return reinterpret_cast<TlsContext*>(SSL_CTX_new(SSLv23_client_method()));
}

bool OpenSslTlsLibrary::SetMaxVersionTls12(TlsContext* context) {
  return SSL_CTX_set_max_proto_version(Ctx(context), TLS1_2_VERSION) == 1;
}

bool OpenSslTlsLibrary::SetClientSignatureAlgorithms(TlsContext* context, const char* list) {
  return SSL_CTX_set1_client_sigalgs_list(Ctx(context), list) == 1;
}

void OpenSslTlsLibrary::CleanupEngines() { ENGINE_cleanup(); }

void OpenSslTlsLibrary::LoadCapiEngine() { ENGINE_load_capi(); }

TlsEngine* OpenSslTlsLibrary::EngineById(const char* id) { return reinterpret_cast<TlsEngine*>(ENGINE_by_id(id)); }

void OpenSslTlsLibrary::SetDefaultEngine(TlsEngine* engine) { ENGINE_set_default(Engine(engine), ENGINE_METHOD_ALL); }

int OpenSslTlsLibrary::SetClientCertEngine(TlsContext* context, TlsEngine* engine) {
  return SSL_CTX_set_client_cert_engine(Ctx(context), Engine(engine));
}

void OpenSslTlsLibrary::FreeEngine(TlsEngine* engine) { ENGINE_free(Engine(engine)); }

TlsConnection* OpenSslTlsLibrary::NewConnection(TlsContext* context) {
  return reinterpret_cast<TlsConnection*>(SSL_new(Ctx(context)));
}

int OpenSslTlsLibrary::SetSocket(TlsConnection* connection, SocketHandle socket) {
  // Windows socket handles fit the library's int descriptors.
  return SSL_set_fd(Ssl(connection), static_cast<int>(socket));
}

void OpenSslTlsLibrary::SetAutoRetry(TlsConnection* connection) {
  SSL_ctrl(Ssl(connection), SSL_CTRL_MODE, SSL_MODE_AUTO_RETRY, nullptr);
}

// Names only: an address is never sent as the server name.
void OpenSslTlsLibrary::SetServerName(TlsConnection* connection, const std::string& host) {
  bool address = host.find_first_not_of("0123456789.") == std::string::npos || host.find(':') != std::string::npos;
  if (!host.empty() && !address) SSL_set_tlsext_host_name(Ssl(connection), host.c_str());
}

std::vector<std::string> OpenSslTlsLibrary::PeerChain(TlsConnection* connection) {
  std::vector<std::string> chain;
  // On a client the chain starts with the gateway's own certificate.
  STACK_OF(X509)* sent = SSL_get_peer_cert_chain(Ssl(connection));
  for (int i = 0; sent && i < sk_X509_num(sent); ++i) {
    unsigned char* der = nullptr;
    int length = i2d_X509(sk_X509_value(sent, i), &der);
    if (length <= 0) return {};
    chain.emplace_back(reinterpret_cast<const char*>(der), static_cast<std::size_t>(length));
    OPENSSL_free(der);
  }
  return chain;
}

int OpenSslTlsLibrary::Connect(TlsConnection* connection) { return SSL_connect(Ssl(connection)); }

int OpenSslTlsLibrary::Write(TlsConnection* connection, const char* bytes, int length) {
  return SSL_write(Ssl(connection), bytes, length);
}

int OpenSslTlsLibrary::Read(TlsConnection* connection, char* buffer, int capacity) {
  return SSL_read(Ssl(connection), buffer, capacity);
}

SocketWait OpenSslTlsLibrary::Pending(TlsConnection* connection, int result) {
  switch (SSL_get_error(Ssl(connection), result)) {
    case SSL_ERROR_WANT_READ: return SocketWait::Readable;
    case SSL_ERROR_WANT_WRITE: return SocketWait::Writable;
    default: return SocketWait::Nothing;
  }
}

void OpenSslTlsLibrary::FreeConnection(TlsConnection* connection) { SSL_free(Ssl(connection)); }

void OpenSslTlsLibrary::FreeContext(TlsContext* context) { SSL_CTX_free(Ctx(context)); }

}  // namespace vorlane
