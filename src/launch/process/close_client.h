#pragma once
// `Close`: stops the local VPN client or tells it the page is going, and
// stops the control's status poller.
#include <cstdint>
#include <string>

#include "launch/process/process_port.h"
#include "status/poller_control.h"
#include "support/program_files_port.h"

namespace vorlane {

constexpr char16_t kClientProgramFormat[] = u"%s\\Corvanta\\SSLVPN Client\\sslvpn-client.exe";
constexpr char16_t kClientCloseParameter[] = u"close";

enum class CloseFlag : std::int16_t { kCloseClientProgram = 0, kSendPageOff = 1 };

class ClientPort {
 public:
  virtual ~ClientPort() = default;
  // Sends "pageOff" to the running client when a status socket is open.
  virtual void SendPageOff() = 0;
};

// Flag 0 starts the VPN client program with "close" when it is installed;
// flag 1 sends "pageOff"; every flag then stops the poller held in `poller`.
// Never waits for the poller.
void CloseClient(std::int16_t flag, ProgramFilesPort& programFiles, ClientPort& client, ProcessPort& processes,
                 PollerState& state, PollerThreadSlot& poller);

// The VPN client program's path under `programFilesX86`; empty when it does
// not fit the path capacity (a cut path would name another file).
std::u16string ClientProgramPath(const std::u16string& programFilesX86);

}  // namespace vorlane
