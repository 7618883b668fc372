#include "certlogin/win32/win32_login_platform.h"

#include <windows.h>

#include "support/win32/wide_text.h"

namespace vorlane {

std::string Win32CodePages::ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  const wchar_t* wide = AsWide(text);
  int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(size - 1));
  return narrow;
}

std::u16string Win32CodePages::FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 1) return {};
  std::u16string wide(static_cast<std::size_t>(size), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, AsWide(wide.data()), size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return wide;
}

std::chrono::system_clock::time_point SystemLoginClock::Now() { return std::chrono::system_clock::now(); }

void SystemLoginClock::Pause(std::chrono::milliseconds length) { Sleep(static_cast<DWORD>(length.count())); }

}  // namespace vorlane
