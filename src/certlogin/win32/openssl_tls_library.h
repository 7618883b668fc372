#pragma once
// The TLS library port over the OpenSSL linked into the module, with its
// built-in capi engine as the source of client certificates.
#include "certlogin/login_ports.h"

namespace vorlane {

class OpenSslTlsLibrary final : public TlsLibrary {
 public:
  void Start() override;
  TlsContext* NewClientContext() override;
  bool SetMaxVersionTls12(TlsContext* context) override;
  bool SetClientSignatureAlgorithms(TlsContext* context, const char* list) override;
  void CleanupEngines() override;
  void LoadCapiEngine() override;
  TlsEngine* EngineById(const char* id) override;
  void SetDefaultEngine(TlsEngine* engine) override;
  int SetClientCertEngine(TlsContext* context, TlsEngine* engine) override;
  void FreeEngine(TlsEngine* engine) override;
  TlsConnection* NewConnection(TlsContext* context) override;
  int SetSocket(TlsConnection* connection, SocketHandle socket) override;
  void SetAutoRetry(TlsConnection* connection) override;
  void SetServerName(TlsConnection* connection, const std::string& host) override;
  std::vector<std::string> PeerChain(TlsConnection* connection) override;
  int Connect(TlsConnection* connection) override;
  int Write(TlsConnection* connection, const char* bytes, int length) override;
  int Read(TlsConnection* connection, char* buffer, int capacity) override;
  SocketWait Pending(TlsConnection* connection, int result) override;
  void FreeConnection(TlsConnection* connection) override;
  void FreeContext(TlsContext* context) override;
};

}  // namespace vorlane
