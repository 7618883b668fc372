#pragma once
#include "support/diagnostic_log.h"

namespace vorlane {

// The log file through CreateFileW / WriteFile / FlushFileBuffers.
class Win32LogFile final : public LogFilePort {
 public:
  LogHandle OpenForAppend(const char16_t* path) override;
  void Write(LogHandle handle, const void* bytes, std::uint32_t size) override;
  void Flush(LogHandle handle) override;
  void Close(LogHandle handle) override;
  LocalTime Now() override;
  bool SamePath(const char16_t* a, const char16_t* b) override;
};

// Installs the process's log on the real file system (once per process) and
// returns it.
DiagnosticLog& InstallWin32ProcessLog();
// Uninstalls and closes it, when the module is freed before its process ends.
void CloseWin32ProcessLog();

}  // namespace vorlane
