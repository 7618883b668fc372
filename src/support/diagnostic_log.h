#pragma once
// The process's diagnostic log: one UTF-16LE line per event, appended and
// flushed at once, from any thread. It never reports its own failures: a line
// that cannot be written is lost.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "support/path_capacity.h"

namespace vorlane {

enum LogLevel : int { Error = 0, Info = 1, Debug = 2 };

// Capacities of the two formatting stages, terminator included. A line that
// does not fit either one is dropped whole.
constexpr std::size_t kLogTemplateCapacity = 128;
constexpr std::size_t kLogLineCapacity = 1024;

constexpr char16_t kClientLogPath[] = u"C:\\ie_sslvpn_client.log";

struct LocalTime {
  int year, month, day, hour, minute, second, milliseconds;
};

using LogHandle = std::intptr_t;
constexpr LogHandle kNoLogHandle = -1;  // INVALID_HANDLE_VALUE

// What the log needs from the platform.
class LogFilePort {
 public:
  virtual ~LogFilePort() = default;
  // Opens or creates the file for writing, readers may share it, positioned
  // at its end; kNoLogHandle on failure.
  virtual LogHandle OpenForAppend(const char16_t* path) = 0;
  virtual void Write(LogHandle handle, const void* bytes, std::uint32_t size) = 0;
  virtual void Flush(LogHandle handle) = 0;
  virtual void Close(LogHandle handle) = 0;
  virtual LocalTime Now() = 0;
  // Path comparison as the platform does it, without regard to case.
  virtual bool SamePath(const char16_t* a, const char16_t* b) = 0;
};

const char16_t* LogLevelName(int level);

class DiagnosticLog {
 public:
  explicit DiagnosticLog(LogFilePort& port);
  DiagnosticLog(const DiagnosticLog&) = delete;
  DiagnosticLog& operator=(const DiagnosticLog&) = delete;

  // Makes path the log unless it is the remembered one. Only the UI thread
  // calls this.
  void Open(const char16_t* path);
  // Closes the log and forgets its path, for a module that is unloaded while
  // its process goes on: a handle left open would keep the file from the
  // module's next load.
  void Close();
  void Line(int level, const char16_t* format, ...);
  void LineV(int level, const char16_t* format, va_list args);

  const char16_t* RememberedPath() const { return remembered_; }
  LogHandle Handle() const { return handle_.load(); }

 private:
  LogFilePort& port_;
  std::atomic<LogHandle> handle_{kNoLogHandle};
  char16_t remembered_[kPathCapacity] = u"client.log";
};

// The process-wide log that the free functions below write to. The Windows
// module installs its own at load time; until one is installed, lines are
// discarded.
void InstallProcessLog(DiagnosticLog* log);

void OpenLog(const char16_t* path);
void LogLine(int level, const char16_t* format, ...);
void LogError(const char16_t* format, ...);
void LogInfo(const char16_t* format, ...);

}  // namespace vorlane
