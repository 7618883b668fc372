#pragma once
// What the certificate login needs besides the page: the TLS library, the
// network, the clock and the user. The win32/ adapters implement these with
// OpenSSL with its capi engine, Winsock and message boxes; native tests
// implement them with scripted fakes.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "support/cookie_store.h"
#include "support/socket_handle.h"
#include "support/user_notice.h"

namespace vorlane {

// An address the name service gave: only IPv4 ones can be used.
struct ResolvedHost {
  bool ipv4 = false;
  std::uint32_t address = 0;  // host byte order
};

class GatewaySockets {
 public:
  virtual ~GatewaySockets() = default;
  virtual void Startup() = 0;  // kWinsockVersion; the result is not examined
  // nullopt when the name does not resolve.
  virtual std::optional<ResolvedHost> Resolve(const std::string& host) = 0;
  virtual SocketHandle Open() = 0;  // a TCP/IPv4 socket, or kNoSocket
  // False when no connection was made within `limit`.
  virtual bool Connect(SocketHandle socket, std::uint32_t address, std::uint16_t port,
                       std::chrono::milliseconds limit) = 0;
  // Every later send and receive on the socket gives up after `limit`.
  virtual void LimitTransfers(SocketHandle socket, std::chrono::milliseconds limit) = 0;
  virtual void Close(SocketHandle socket) = 0;
};

// Opaque objects of the TLS library.
struct TlsContext;
struct TlsConnection;
struct TlsEngine;

// The TLS library's calls in the order the exchange makes them. Results keep
// the library's conventions: a positive int is success.
class TlsLibrary {
 public:
  virtual ~TlsLibrary() = default;
  virtual void Start() = 0;                    // error strings, then library init
  virtual TlsContext* NewClientContext() = 0;  // the version-negotiating client method; null on failure
  virtual bool SetMaxVersionTls12(TlsContext* context) = 0;
  virtual bool SetClientSignatureAlgorithms(TlsContext* context, const char* list) = 0;
  virtual void CleanupEngines() = 0;
  virtual void LoadCapiEngine() = 0;
  virtual TlsEngine* EngineById(const char* id) = 0;  // a reference, or null
  virtual void SetDefaultEngine(TlsEngine* engine) = 0;  // for every kind of algorithm
  virtual int SetClientCertEngine(TlsContext* context, TlsEngine* engine) = 0;
  virtual void FreeEngine(TlsEngine* engine) = 0;  // drops the reference EngineById gave
  virtual TlsConnection* NewConnection(TlsContext* context) = 0;
  virtual int SetSocket(TlsConnection* connection, SocketHandle socket) = 0;
  virtual void SetAutoRetry(TlsConnection* connection) = 0;
  virtual int Connect(TlsConnection* connection) = 0;
  virtual int Write(TlsConnection* connection, const char* bytes, int length) = 0;
  virtual int Read(TlsConnection* connection, char* buffer, int capacity) = 0;
  virtual void FreeConnection(TlsConnection* connection) = 0;
  virtual void FreeContext(TlsContext* context) = 0;
};

// Page texts go to the gateway in the system's ANSI code page; the gateway's
// texts come back as UTF-8.
class CodePages {
 public:
  virtual ~CodePages() = default;
  virtual std::string ToAnsi(const std::u16string& text) = 0;
  virtual std::u16string FromUtf8(const std::string& text) = 0;
};

class LoginClock {
 public:
  virtual ~LoginClock() = default;
  virtual std::chrono::system_clock::time_point Now() = 0;
  virtual void Pause(std::chrono::milliseconds length) = 0;
};

struct LoginPorts {
  TlsLibrary& tls;
  GatewaySockets& sockets;
  CookieStore& cookies;
  CodePages& codePages;
  LoginClock& clock;
  UserNotice& notice;
};

}  // namespace vorlane
