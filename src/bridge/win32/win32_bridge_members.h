#pragma once
// The one place that wires each member of the host to the core, as the
// control wires its own: the same subsystems and Windows adapters; only the
// page and the cookie store differ, as the extension carries them out.
#include <windows.h>

#include "bridge/bridge_members.h"
#include "com/win32/unique_handle.h"
#include "launch/portal/portal_context.h"
#include "status/status_relay.h"

namespace vorlane {

class Win32BridgeMembers final : public BridgeMembers {
 public:
  explicit Win32BridgeMembers(StatusRelay& relay);

  void TakeProperties(const BridgeProperties& properties) override;
  bool Run(Page& page, CookieStore& cookies, std::uint16_t type) override;
  bool RunCmd(const std::u16string& command, bool wait) override;
  void Close(std::int16_t flag) override;
  bool ResetUrl() override;
  void GetPCHardInfo(Page& page, CookieStore& cookies) override;

 private:
  StatusRelay& relay_;
  UniqueHandle resetUrlEvent_;
  PortalContext portal_;
};

}  // namespace vorlane
