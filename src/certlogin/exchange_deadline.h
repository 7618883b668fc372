#pragma once
// One deadline for the whole login exchange. The socket is non-blocking; a
// TLS call that must wait for it waits only for the time the exchange has
// left, so a gateway that trickles its bytes is cut at the deadline however
// it spaces them.
#include <chrono>

#include "certlogin/login_ports.h"

namespace vorlane {

class ExchangeDeadline {
 public:
  ExchangeDeadline(LoginClock& clock, std::chrono::milliseconds length)
      : clock_(clock), end_(clock.Monotonic() + length) {}
  // Zero once the deadline has passed.
  std::chrono::milliseconds Remaining() const;

 private:
  LoginClock& clock_;
  std::chrono::steady_clock::time_point end_;
};

// A TLS connection's calls, each repeated while it waits for the socket and
// the deadline has time left. A call cut at the deadline answers 0, as the
// end of the connection does.
class DeadlineConnection {
 public:
  DeadlineConnection(TlsLibrary& tls, TlsConnection* connection, GatewaySockets& sockets, SocketHandle socket,
                     const ExchangeDeadline& deadline)
      : tls_(tls), connection_(connection), sockets_(sockets), socket_(socket), deadline_(deadline) {}

  int Handshake();
  int Write(const char* bytes, int length);
  int Read(char* buffer, int capacity);

 private:
  template <typename Call>
  int UntilDone(Call call);

  TlsLibrary& tls_;
  TlsConnection* connection_;
  GatewaySockets& sockets_;
  SocketHandle socket_;
  const ExchangeDeadline& deadline_;
};

}  // namespace vorlane
