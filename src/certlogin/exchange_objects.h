#pragma once
// Owners of what one login attempt makes through its ports, so that an
// attempt ended early, by a failure or by a throw, leaves nothing behind.
#include "certlogin/login_ports.h"

namespace vorlane {

// The context, the connection and the socket of one attempt. Release (and the
// destructor) frees the connection, then the context, then closes the
// socket, each only if it exists.
class ExchangeObjects {
 public:
  ExchangeObjects(TlsLibrary& tls, GatewaySockets& sockets) : tls_(tls), sockets_(sockets) {}
  ~ExchangeObjects() { Release(); }
  ExchangeObjects(const ExchangeObjects&) = delete;
  ExchangeObjects& operator=(const ExchangeObjects&) = delete;

  void Release() {
    if (connection) tls_.FreeConnection(connection);
    if (context) tls_.FreeContext(context);
    if (socket != kNoSocket) sockets_.Close(socket);
    connection = nullptr;
    context = nullptr;
    socket = kNoSocket;
  }

  TlsContext* context = nullptr;
  TlsConnection* connection = nullptr;
  SocketHandle socket = kNoSocket;

 private:
  TlsLibrary& tls_;
  GatewaySockets& sockets_;
};

// The reference EngineById gave, dropped when the owner goes.
class EngineReference {
 public:
  EngineReference(TlsLibrary& tls, TlsEngine* engine) : tls_(tls), engine_(engine) {}
  ~EngineReference() {
    if (engine_) tls_.FreeEngine(engine_);
  }
  EngineReference(const EngineReference&) = delete;
  EngineReference& operator=(const EngineReference&) = delete;
  TlsEngine* Get() const { return engine_; }

 private:
  TlsLibrary& tls_;
  TlsEngine* engine_;
};

}  // namespace vorlane
