#include "support/win32/win32_log_file.h"

#include <windows.h>

#include "support/win32/wide_text.h"

namespace vorlane {
namespace {
HANDLE AsHandle(LogHandle h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

LogHandle Win32LogFile::OpenForAppend(const char16_t* path) {
  HANDLE file = CreateFileW(AsWide(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kNoLogHandle;
  SetFilePointer(file, 0, nullptr, FILE_END);
  return reinterpret_cast<LogHandle>(file);
}

void Win32LogFile::Write(LogHandle handle, const void* bytes, std::uint32_t size) {
  DWORD written = 0;
  WriteFile(AsHandle(handle), bytes, size, &written, nullptr);
}

void Win32LogFile::Flush(LogHandle handle) { FlushFileBuffers(AsHandle(handle)); }

void Win32LogFile::Close(LogHandle handle) { CloseHandle(AsHandle(handle)); }

LocalTime Win32LogFile::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

bool Win32LogFile::SamePath(const char16_t* a, const char16_t* b) {
  return lstrcmpiW(AsWide(a), AsWide(b)) == 0;
}

namespace {
DiagnosticLog& ProcessLog() {
  static Win32LogFile file;
  static DiagnosticLog log(file);
  return log;
}
}  // namespace

DiagnosticLog& InstallWin32ProcessLog() {
  InstallProcessLog(&ProcessLog());
  return ProcessLog();
}

void CloseWin32ProcessLog() {
  InstallProcessLog(nullptr);
  ProcessLog().Close();
}

}  // namespace vorlane
