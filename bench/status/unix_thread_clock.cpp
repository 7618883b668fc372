#include "unix_thread_clock.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "support/win32/unique_handle.h"

namespace vorlane::bench {
namespace {

// Wine opens files in its server process, so /proc/self would be the
// server's: this process is found by its command line instead.
std::string ReadAll(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

std::vector<std::wstring> Numbered(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (!name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos) names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// "Z:\proc\<pid>\task\" of the Linux process whose arguments are this program's.
const std::wstring& Tasks() {
  static const std::wstring tasks = [] {
    // The program's file name and then its own arguments, each ended by NUL.
    std::string program = __argv[0];
    program = program.substr(program.find_last_of("\\/") + 1);
    std::string mine;
    for (int i = 1; i < __argc; ++i) mine += std::string(__argv[i]) + '\0';
    for (const std::wstring& pid : Numbered(L"Z:\\proc\\")) {
      // Wine writes the Windows command line over the original one and pads
      // the rest of that space with NULs; start.exe's line names the program
      // too, but not first.
      std::string arguments = ReadAll(L"Z:\\proc\\" + pid + L"\\cmdline");
      arguments.erase(arguments.find_last_not_of('\0') + 1);
      arguments += '\0';
      const std::size_t end = arguments.find('\0');
      const std::string first = arguments.substr(0, end);
      const std::string name = first.substr(first.find_last_of("\\/") + 1);
      if (name == program && arguments.compare(end + 1, std::string::npos, mine) == 0)
        return L"Z:\\proc\\" + pid + L"\\task\\";
    }
    return std::wstring();
  }();
  return tasks;
}

}  // namespace

std::set<std::string> UnixThreads() {
  std::set<std::string> ids;
  if (Tasks().empty()) return ids;
  const std::wstring& kTasks = Tasks();
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
  if (Tasks().empty()) return -1;
  const std::wstring path = Tasks() + std::wstring(id.begin(), id.end()) + L"\\schedstat";
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
