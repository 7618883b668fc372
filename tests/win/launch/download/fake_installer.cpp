// Stands in for the client installer: writes the command line it was started
// with, as UTF-16, to its own path followed by ".ran"; then, when
// VORLANE_FAKE_INSTALLER_HOLD_MS names a time, keeps running that long, as
// an installer at work does.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH + 8] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatW(path, L".ran");
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const wchar_t* line = GetCommandLineW();
  DWORD written = 0;
  WriteFile(file, line, lstrlenW(line) * sizeof(wchar_t), &written, nullptr);
  CloseHandle(file);
  wchar_t hold[16] = {};
  if (GetEnvironmentVariableW(L"VORLANE_FAKE_INSTALLER_HOLD_MS", hold, 16) > 0) {
    DWORD ms = 0;
    for (const wchar_t* c = hold; *c >= L'0' && *c <= L'9' && ms < 600000; ++c) ms = ms * 10 + (*c - L'0');
    Sleep(ms);
  }
  return 0;
}
