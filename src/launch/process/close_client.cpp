#include "launch/process/close_client.h"

#include "launch/process/start_elevated.h"
#include "support/diagnostic_log.h"
#include "support/wide_format.h"

namespace vorlane {

std::u16string ClientProgramPath(const std::u16string& programFilesX86) {
  char16_t path[kPathCapacity];
  if (FormatWide(path, kPathCapacity, kClientProgramFormat, programFilesX86.c_str()) < 0) return {};
  return path;
}

bool CloseClient(std::int16_t flag, ProgramFilesPort& programFiles, ProcessPort& processes) {
  auto kind = static_cast<CloseFlag>(flag);
  if (kind == CloseFlag::kCloseClientProgram) {
    std::u16string folder = programFiles.ProgramFilesX86();
    std::u16string program = folder.empty() ? std::u16string() : ClientProgramPath(folder);
    if (!program.empty() && programFiles.FileExists(program.c_str()))
      StartElevated(processes, program.c_str(), kClientCloseParameter);
  }
  return kind == CloseFlag::kSendPageOff;
}

}  // namespace vorlane
