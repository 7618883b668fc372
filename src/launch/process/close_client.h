#pragma once
// `Close`, the client's side: stops the local VPN client program, or says
// that the page is to tell the running client it is going.
#include <cstdint>
#include <string>

#include "launch/process/process_port.h"
#include "support/program_files_port.h"

namespace vorlane {

constexpr char16_t kClientProgramFormat[] = u"%s\\Corvanta\\SSLVPN Client\\sslvpn-client.exe";
constexpr char16_t kClientCloseParameter[] = u"close";

enum class CloseFlag : std::int16_t { kCloseClientProgram = 0, kSendPageOff = 1 };

// Flag 0 starts the VPN client program with "close" when it is installed.
// True for flag 1: the running client is to be sent "pageOff" (the status
// relay's channel carries it). Other flags do nothing here.
bool CloseClient(std::int16_t flag, ProgramFilesPort& programFiles, ProcessPort& processes);

// The VPN client program's path under `programFilesX86`; empty when it does
// not fit the path capacity (a cut path would name another file).
std::u16string ClientProgramPath(const std::u16string& programFilesX86);

}  // namespace vorlane
