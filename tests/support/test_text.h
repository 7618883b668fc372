#pragma once
// Texts in test data and test output: UTF-16 as UTF-8 and back, portable so
// the native suites share them with the Wine suites, the benchmarks and the
// page host. Exact for ASCII; a unit that is no valid character becomes U+FFFD
// rather than failing, so output about a broken text still shows where.
#include <string>
#include <string_view>

namespace vorlane::tests {

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

inline std::u16string Wide(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned lead = byte(i);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5                  ? 4
                                                                              : 0;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    bool whole = length != 0 && i + length <= utf8.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
      whole = (byte(i + k) & 0xC0) == 0x80;
      c = (c << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!whole || c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += length;
  }
  return out;
}

}  // namespace vorlane::tests
