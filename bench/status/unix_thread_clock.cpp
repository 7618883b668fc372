#include "unix_thread_clock.h"

#include <windows.h>

#include <cstdlib>

#include "com/win32/unique_handle.h"

namespace vorlane::bench {
namespace {

const std::wstring kTasks = L"Z:\\proc\\self\\task\\";

}  // namespace

std::set<std::string> UnixThreads() {
  std::set<std::string> ids;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((kTasks + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return ids;
  do {
    std::wstring name = found.cFileName;
    if (!name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos)
      ids.insert(std::string(name.begin(), name.end()));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return ids;
}

double UnixThreadCpuMs(const std::string& id) {
  const std::wstring path = kTasks + std::wstring(id.begin(), id.end()) + L"\\schedstat";
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return -1;
  char text[128] = {};
  DWORD read = 0;
  if (!ReadFile(file.Get(), text, sizeof text - 1, &read, nullptr) || read == 0) return -1;
  // "<ns on CPU> <ns waiting> <slices>"
  return std::strtod(text, nullptr) / 1e6;
}

}  // namespace vorlane::bench
