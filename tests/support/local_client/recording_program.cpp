// A fake client program (updater, installer, VPN client program, sleeper):
// appends its whole command line to a record file so launch tests can see
// what was passed. With "sleep N" as its first arguments it sleeps N ms
// first, so a record that is there shows the program has finished.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

std::wstring RecordPath() {
  wchar_t path[32768];
  DWORD n = GetEnvironmentVariableW(L"VORLANE_COMMAND_RECORD", path, 32768);
  if (n > 0 && n < 32768) return path;
  n = GetModuleFileNameW(nullptr, path, 32768);
  return std::wstring(path, n) + L".commands.txt";
}

void Record(const wchar_t* commandLine) {
  int size = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
  std::string line(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, line.data(), size, nullptr, nullptr);
  line.back() = '\n';
  HANDLE file = CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args && count >= 3 && std::wcscmp(args[1], L"sleep") == 0)
    Sleep(static_cast<DWORD>(std::wcstoul(args[2], nullptr, 10)));
  LocalFree(args);
  Record(GetCommandLineW());
  return 0;
}
