#pragma once
// The login's small Windows pieces: code pages, clock and pause.
#include "certlogin/login_ports.h"

namespace vorlane {

class Win32CodePages final : public CodePages {
 public:
  std::string ToAnsi(const std::u16string& text) override;
  std::u16string FromUtf8(const std::string& text) override;
};

class SystemLoginClock final : public LoginClock {
 public:
  std::chrono::system_clock::time_point Now() override;
  void Pause(std::chrono::milliseconds length) override;
};

}  // namespace vorlane
