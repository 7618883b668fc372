#pragma once
// UTF-8 and UTF-16 conversions and the quoting of texts in output lines.
#include <string>

#include "support/win32/wide_text.h"

namespace vorlane::host {

std::string Utf8(const std::u16string& text);
std::u16string Utf16(const std::string& utf8);
inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(AsUtf16(text)) : std::u16string();
}

// "text" in UTF-8 with \" \\ and control characters escaped, so every output
// line stays one line and a script can read the text back.
std::string Quote(const std::u16string& text);
std::string Hex(long value);  // 0x80020003

}  // namespace vorlane::host
