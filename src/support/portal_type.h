#pragma once
// The page's "type" parameter and everything it decides. Every rule that
// reads the type is a named question here, so that the road, the login's
// request and the language of a box never test numbers of their own.
#include <cstdint>

namespace vorlane {

class PortalType {
 public:
  constexpr PortalType() = default;
  // Every 16-bit number is a type: the page's signed -1 arrives as 65535.
  constexpr PortalType(std::uint16_t value) : value_(value) {}
  constexpr std::uint16_t Value() const { return value_; }

  // Run: types 0 and 1 start the updater or download its installer; every
  // other type logs in with the user's certificate.
  constexpr bool TakesCertificateLogin() const { return value_ >= 2; }
  // The login sends the session id from the page's cookie (types 4 and
  // less); the others take it from the gateway's reply.
  constexpr bool LoginSendsPageSession() const { return value_ <= 4; }
  // The SSLVPN_lang value the login sends when the page's session is not in
  // the request.
  constexpr int LoginLanguageValue() const { return (LoginSendsPageSession() || value_ == 6) ? 1 : 0; }
  // The language slot of the login's boxes: English (0) for types 3 and 5,
  // Chinese (1) for every other type.
  constexpr int LoginMessageSlot() const { return (value_ == 3 || value_ == 5) ? 0 : 1; }
  // The launch road's failure box: the type (0 or 1 there) is its language
  // slot and its entry.
  constexpr int LaunchMessageSlot() const { return value_; }
  // The "-type" argument of the updater and of the installer.
  constexpr std::uint16_t UpdaterArgument() const { return value_; }

  friend constexpr bool operator==(PortalType, PortalType) = default;

 private:
  std::uint16_t value_ = 0;
};

}  // namespace vorlane
