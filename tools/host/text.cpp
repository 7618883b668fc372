#include "text.h"

#include <windows.h>

#include <cstdio>

namespace vorlane::host {

std::string Utf8(const std::u16string& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, AsWide(text), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, AsWide(text), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

std::u16string Utf16(const std::string& utf8) {
  if (utf8.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::u16string text(size, u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                      reinterpret_cast<wchar_t*>(text.data()), size);
  return text;
}

std::string Quote(const std::u16string& text) {
  std::string quoted = "\"";
  for (unsigned char c : Utf8(text)) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
          quoted += escaped;
        } else {
          quoted += static_cast<char>(c);
        }
    }
  }
  return quoted + "\"";
}

std::string Hex(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

}  // namespace vorlane::host
