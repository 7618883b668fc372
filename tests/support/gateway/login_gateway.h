#pragma once
// The gateway's certificate login endpoint: a TLS server on 127.0.0.1 that,
// as a current gateway does, offers TLS 1.3 and RSA-PSS signatures, asks for
// a client certificate issued by the test CA (or only requests it, or not at
// all), records each GET /certLogin exactly as it arrived with the client
// certificate it saw, and answers as the test scripts it.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "client_certificate_mode.h"
#include "loopback_tls_listener.h"

namespace vorlane::tests {

// A reply: each piece goes out in a TLS record of its own, `pauseMs` apart.
// A silent reply sends nothing and holds the connection open until the
// client closes it (or the endpoint stops).
struct LoginReply {
  std::vector<std::string> records;
  bool silent = false;
  unsigned pauseMs = 50;
};

// "HTTP/1.1 302 Found" with "Location:" + target (the text as given, so a
// leading blank is kept) and, when session is not empty, a Set-Cookie header
// with "Varnex_SSLID=" + session.
LoginReply RedirectReply(const std::string& target, const std::string& session = {});
LoginReply SilentReply();
// The reply's bytes one record each, `pauseMs` apart: a gateway that trickles.
LoginReply TrickledReply(const LoginReply& reply, unsigned pauseMs);

struct LoginVisit {
  std::string request;            // the bytes up to and with the blank line
  std::string clientCertificate;  // DER; empty when none was presented
  std::string clientSubject;      // "/CN=.../O=..." of it
  std::string protocol;           // "TLSv1.2", ...
};

class LoginGateway {
 public:
  LoginGateway();
  ~LoginGateway();
  LoginGateway(const LoginGateway&) = delete;
  LoginGateway& operator=(const LoginGateway&) = delete;

  // Binds 127.0.0.1 (port 0: one the system chooses) and starts accepting.
  bool Start(std::uint16_t port = 0);
  void Stop();
  std::uint16_t Port() const { return listener_.Port(); }

  void SetClientCertificateMode(ClientCertificateMode mode) { mode_ = mode; }
  // The reply to every following request until the next call.
  void Script(LoginReply reply);

  std::vector<LoginVisit> Visits() const;
  int FailedHandshakes() const { return failedHandshakes_; }
  // Connections the client has closed, so far.
  int ClosedConnections() const { return closed_; }
  // Connections still being served.
  std::size_t OpenConnections() const { return listener_.Running(); }
  // Connections whose serving thread has ended, and when each ended.
  std::vector<LoopbackTlsListener::Clock::time_point> EndedConnections() const { return listener_.Ended(); }

 private:
  // False when the endpoint stops meanwhile.
  bool PauseUnlessStopping(unsigned ms) const;
  void Serve(std::uintptr_t socket);

  LoopbackTlsListener listener_;
  std::atomic<ClientCertificateMode> mode_{ClientCertificateMode::Require};
  std::atomic<int> failedHandshakes_{0}, closed_{0};

  mutable std::mutex mutex_;
  LoginReply reply_;
  std::vector<LoginVisit> visits_;
};

}  // namespace vorlane::tests
