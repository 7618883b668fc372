#pragma once
// The one place that wires each member of the host to the core, with the
// same Windows adapters the control uses; only the page and the cookie store
// differ, as the extension carries them out.
#include <windows.h>

#include "bridge/bridge_members.h"
#include "bridge/win32/bridge_relay.h"
#include "com/win32/unique_handle.h"
#include "launch/portal/portal_context.h"

namespace vorlane {

// The named event the local client signals for ResetUrl, as the control opens it.
constexpr wchar_t kBridgeResetUrlEventName[] = L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent";

class Win32BridgeMembers final : public BridgeMembers {
 public:
  explicit Win32BridgeMembers(BridgeRelay& relay);

  void TakeProperties(const BridgeProperties& properties) override;
  bool Run(Page& page, CookieStore& cookies, std::uint16_t type) override;
  bool RunCmd(const std::u16string& command, bool wait) override;
  void Close(std::int16_t flag) override;
  bool ResetUrl() override;
  void GetPCHardInfo(Page& page, CookieStore& cookies) override;

 private:
  BridgeRelay& relay_;
  UniqueHandle resetUrlEvent_;
  PortalContext portal_;
};

}  // namespace vorlane
