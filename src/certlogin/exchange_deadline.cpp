#include "certlogin/exchange_deadline.h"

namespace vorlane {

std::chrono::milliseconds ExchangeDeadline::Remaining() const {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - clock_.Monotonic());
  return left > std::chrono::milliseconds::zero() ? left : std::chrono::milliseconds::zero();
}

template <typename Call>
int DeadlineConnection::UntilDone(Call call) {
  for (;;) {
    int result = call();
    if (result > 0) return result;
    SocketWait wait = tls_.Pending(connection_, result);
    if (wait == SocketWait::Nothing) return result;
    std::chrono::milliseconds left = deadline_.Remaining();
    if (left == std::chrono::milliseconds::zero() || !sockets_.WaitUntilReady(socket_, wait, left)) return 0;
  }
}

int DeadlineConnection::Handshake() {
  return UntilDone([&] { return tls_.Connect(connection_); });
}

int DeadlineConnection::Write(const char* bytes, int length) {
  return UntilDone([&] { return tls_.Write(connection_, bytes, length); });
}

int DeadlineConnection::Read(char* buffer, int capacity) {
  return UntilDone([&] { return tls_.Read(connection_, buffer, capacity); });
}

}  // namespace vorlane
