#include "support/diagnostic_log.h"

#include <cstdarg>

#include "support/wide_format.h"

namespace vorlane {

const char16_t* LogLevelName(int level) {
  switch (level) {
    case Error: return u"ERROR";
    case Info: return u"INFOR";
    default: return u"DEBUG";
  }
}

DiagnosticLog::DiagnosticLog(LogFilePort& port) : port_(port) {}

void DiagnosticLog::Open(const char16_t* path) {
  if (port_.SamePath(path, remembered_)) return;
  LogHandle opened = port_.OpenForAppend(path);
  if (opened == kNoLogHandle) return;  // keep the old log and path; retry next time
  LogHandle previous = handle_.exchange(opened);
  if (previous != kNoLogHandle) port_.Close(previous);
  std::size_t i = 0;
  for (; i + 1 < kPathCapacity && path[i] != u'\0'; ++i) remembered_[i] = path[i];
  remembered_[i] = u'\0';
}

void DiagnosticLog::Close() {
  LogHandle previous = handle_.exchange(kNoLogHandle);
  if (previous != kNoLogHandle) port_.Close(previous);
  const char16_t initial[] = u"client.log";
  for (std::size_t i = 0; i < sizeof initial / sizeof initial[0]; ++i) remembered_[i] = initial[i];
}

void DiagnosticLog::LineV(int level, const char16_t* format, va_list args) {
  LocalTime t = port_.Now();
  // Stage one: the prefix and the caller's format, copied as text.
  char16_t lineTemplate[kLogTemplateCapacity];
  if (FormatWide(lineTemplate, kLogTemplateCapacity, u"[%s][%04d-%02d-%02d %02d:%02d:%02d %03d]%s\r\n",
                 LogLevelName(level), t.year, t.month, t.day, t.hour, t.minute, t.second,
                 t.milliseconds, format) < 0) {
    return;
  }
  // Stage two: the caller's directives take their values.
  char16_t line[kLogLineCapacity];
  int length = FormatWideV(line, kLogLineCapacity, lineTemplate, args);
  if (length < 0) return;

  LogHandle handle = handle_.load();
  if (handle == kNoLogHandle) return;
  port_.Write(handle, line, static_cast<std::uint32_t>(length) * sizeof(char16_t));
  port_.Flush(handle);
}

void DiagnosticLog::Line(int level, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  LineV(level, format, args);
  va_end(args);
}

namespace {
std::atomic<DiagnosticLog*> processLog{nullptr};
}

void InstallProcessLog(DiagnosticLog* log) { processLog.store(log); }

void OpenLog(const char16_t* path) {
  if (DiagnosticLog* log = processLog.load()) log->Open(path);
}

#define VORLANE_FORWARD_LINE(level)            \
  if (DiagnosticLog* log = processLog.load()) { \
    va_list args;                               \
    va_start(args, format);                     \
    log->LineV(level, format, args);            \
    va_end(args);                               \
  }

void LogLine(int level, const char16_t* format, ...) { VORLANE_FORWARD_LINE(level) }
void LogError(const char16_t* format, ...) { VORLANE_FORWARD_LINE(Error) }
void LogInfo(const char16_t* format, ...) { VORLANE_FORWARD_LINE(Info) }

#undef VORLANE_FORWARD_LINE

}  // namespace vorlane
