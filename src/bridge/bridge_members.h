#pragma once
// The five members as the host runs them: the face's one place that wires
// each to the core (win32/), and fakes in the tests.
#include <cstdint>
#include <string>

#include "page/page.h"
#include "support/cookie_store.h"

namespace vorlane {

// The <object>-style parameters the host holds for its page, as the control
// holds its properties: each call's params replace those they name.
struct BridgeProperties {
  std::u16string ip;
  std::int32_t port = 0;
  std::u16string username;
  std::int16_t type = 0;  // read unsigned by its users, as the control's

  std::uint16_t TypeForUsers() const { return static_cast<std::uint16_t>(type); }
};

class BridgeMembers {
 public:
  virtual ~BridgeMembers() = default;
  // Before each call, with the parameters that call leaves in force.
  virtual void TakeProperties(const BridgeProperties& properties) = 0;
  virtual bool Run(Page& page, CookieStore& cookies, std::uint16_t type) = 0;
  virtual bool RunCmd(const std::u16string& command, bool wait) = 0;
  virtual void Close(std::int16_t flag) = 0;
  virtual bool ResetUrl() = 0;
  virtual void GetPCHardInfo(Page& page, CookieStore& cookies) = 0;
};

}  // namespace vorlane
