#pragma once
// A stand-in for the SSL VPN gateway's web service: an HTTPS server on
// 127.0.0.1 with a self-signed certificate made at start, serving the client
// installer in the way a test picks and recording every request. Further
// endpoints are added as routes.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <openssl/types.h>

#include "client_certificate_mode.h"
#include "loopback_tls_listener.h"

namespace vorlane::tests {

constexpr char kInstallerTarget[] = "/sslvpn/client/UpdateInstaller.exe";

struct RecordedRequest {
  std::string requestLine;  // "GET /sslvpn/client/UpdateInstaller.exe HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> headers;  // in arrival order
  bool clientCertificatePresented = false;
  // Presented and issued by a CA the gateway trusts for client certificates.
  bool clientCertificateTrusted = false;
  std::string clientSubject;  // "/CN=.../O=..." of the certificate presented

  std::string Method() const;
  std::string Target() const;
  // The first header of that name (case-insensitive); empty when absent.
  std::string Header(std::string_view name) const;
  std::size_t HeaderCount(std::string_view name) const;
};

// How the installer endpoint answers.
enum class InstallerMode {
  Complete,         // 200 with Content-Length and the whole body
  ErrorStatus,      // 404 with an HTML body
  Redirect,         // 302 to the portal with an HTML body
  NoContentLength,  // 200 without Content-Length; the body ends when the connection does
  CutOff,           // 200 announcing the whole body, connection dropped after half of it
  Slow,             // 200, the body in small pieces with pauses between them
  Trickle,          // 200 announcing the whole body, which follows one byte a second
  NotHttp,          // bytes that are no HTTP reply at all, then the connection closed
  HugeHeaders,      // 200 whose head holds 64 KB of headers, then the whole body
};

// What the gateway does with a new connection before any TLS.
enum class ConnectionFault {
  None,              // TLS, then HTTP as the routes answer
  Silent,            // accepts and never answers, holding the connection for the silent hold
  NotTls,            // answers the TLS hello with a plain-text HTTP reply
  ResetInHandshake,  // reads the TLS hello, then resets the connection
};

// One TLS connection as a route sees it: write a reply, then return.
class GatewayConnection {
 public:
  virtual ~GatewayConnection() = default;
  virtual bool Write(const void* bytes, std::size_t length) = 0;
  bool Write(std::string_view text) { return Write(text.data(), text.size()); }
  // "HTTP/1.1 <status>" plus the headers and "Connection: close".
  bool WriteHead(std::string_view status, const std::vector<std::pair<std::string, std::string>>& headers);
  // Ends the connection without TLS close_notify, as a failing network does.
  void Abort() { aborted_ = true; }
  bool Aborted() const { return aborted_; }

 private:
  bool aborted_ = false;
};

using GatewayRoute = std::function<void(const RecordedRequest&, GatewayConnection&)>;

class GatewaySimulator {
 public:
  // port 0 lets the system choose one.
  explicit GatewaySimulator(std::uint16_t port = 0);
  ~GatewaySimulator();
  GatewaySimulator(const GatewaySimulator&) = delete;
  GatewaySimulator& operator=(const GatewaySimulator&) = delete;

  // Makes the certificate, binds 127.0.0.1 and starts accepting. False when
  // the port cannot be had or TLS cannot be set up.
  bool Start();
  // Stops accepting and waits for running connections to end.
  void Stop();
  std::uint16_t Port() const { return listener_.Port(); }

  // The installer body: bytes held, a file's bytes, or size bytes made up on
  // the fly (GeneratedByte) so that large bodies are never held in memory.
  void ServeInstaller(std::string bytes);
  bool ServeInstallerFile(const std::u16string& path);
  void ServeGeneratedInstaller(std::uint64_t size);
  static unsigned char GeneratedByte(std::uint64_t offset);

  void SetInstallerMode(InstallerMode mode) { mode_ = mode; }
  void SetConnectionFault(ConnectionFault fault) { fault_ = fault; }
  // How long a Silent connection is held before the gateway drops it.
  void SetSilentHold(int milliseconds) { silentHoldMs_ = milliseconds; }
  // Pause between the bytes of a Trickle body.
  void SetTricklePause(int milliseconds) { tricklePauseMs_ = milliseconds; }
  // Pause between the pieces of a Slow body.
  void SetSlowPause(int milliseconds) { slowPauseMs_ = milliseconds; }
  // Whether each new connection is asked for a client certificate. With
  // Request a connection without one goes on, and a route tells from the
  // request whether the certificate it carries is trusted.
  void SetClientCertificateMode(ClientCertificateMode mode) { clientCertificateMode_ = mode; }
  // Client certificates issued by `authority` count as trusted; call before Start.
  void TrustClientCertificatesFrom(X509* authority);

  // Answers requests for target with route; replaces an earlier route.
  void Route(const std::string& target, GatewayRoute route);

  std::vector<RecordedRequest> Requests() const;
  // Connections whose TLS handshake failed.
  int FailedHandshakes() const { return failedHandshakes_; }
  // Connections met with a ConnectionFault.
  int FaultedConnections() const { return faultedConnections_; }

 private:
  void Serve(std::uintptr_t socket);
  void ServeFault(std::uintptr_t socket, ConnectionFault fault);
  // Waits up to `milliseconds` for bytes or the client's close; false when stopping.
  bool WaitReadable(std::uintptr_t socket, int milliseconds);
  void ServeInstallerRequest(const RecordedRequest& request, GatewayConnection& connection);
  bool WriteBody(GatewayConnection& connection, std::uint64_t from, std::uint64_t to, std::size_t pieceSize,
                 int pauseMs);

  std::uint16_t requestedPort_;
  LoopbackTlsListener listener_;

  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
  std::map<std::string, GatewayRoute> routes_;

  std::shared_ptr<const std::string> installer_;
  std::uint64_t generatedSize_ = 0;
  std::atomic<InstallerMode> mode_{InstallerMode::Complete};
  std::atomic<int> slowPauseMs_{20};
  std::atomic<int> tricklePauseMs_{1000};
  std::atomic<int> silentHoldMs_{30000};
  std::atomic<ConnectionFault> fault_{ConnectionFault::None};
  std::atomic<ClientCertificateMode> clientCertificateMode_{ClientCertificateMode::Ignore};
  X509* clientAuthority_ = nullptr;
  std::atomic<int> failedHandshakes_{0};
  std::atomic<int> faultedConnections_{0};
};

}  // namespace vorlane::tests
