#pragma once
// UTF-8 and UTF-16 conversions and the quoting of texts in output lines.
#include <string>

namespace vorlane::host {

std::string Utf8(const std::u16string& text);
std::u16string Utf16(const std::string& utf8);
inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// "text" in UTF-8 with \" \\ and control characters escaped, so every output
// line stays one line and a script can read the text back.
std::string Quote(const std::u16string& text);
std::string Hex(long value);  // 0x80020003

}  // namespace vorlane::host
