#pragma once
// One call of the page as the extension sends it: the member and its
// arguments, the origin the browser reported for the page, and the page's
// context and <object>-style parameters at the time of the call.
#include <cstdint>
#include <optional>
#include <string>

namespace vorlane {

enum class Member { kRun, kRunCmd, kClose, kResetUrl, kGetPCHardInfo };

// The texts the page delivered; a field it left out stays empty (nullopt),
// as a page object that does not answer.
struct PageContext {
  std::optional<std::u16string> href;      // location.href
  std::optional<std::u16string> protocol;  // location.protocol
  std::optional<std::u16string> host;      // location.host
  std::optional<std::u16string> hostname;  // location.hostname
  std::optional<std::u16string> port;      // location.port
  std::optional<std::u16string> url;       // document.URL
  std::optional<std::u16string> cookie;    // document.cookie
};

// "ip", "port", "username", "type" as the page gives them. A parameter that
// is absent or does not convert is nullopt and leaves the host's earlier
// value, as a <param> does with the control's property.
struct ObjectParams {
  std::optional<std::u16string> ip;
  std::optional<std::int32_t> port;
  std::optional<std::u16string> username;
  std::optional<std::int16_t> type;
};

struct BridgeCall {
  std::uint64_t id = 0;
  Member member = Member::kRun;
  std::u16string command;  // RunCmd
  bool wait = false;       // RunCmd
  std::int16_t flag = 0;   // Close
  std::u16string origin;
  PageContext page;
  ObjectParams params;
};

}  // namespace vorlane
