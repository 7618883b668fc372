#pragma once
// What the fuzz targets share: their input read as text fields, wide text
// made from it, and a stop with a clear message when an invariant breaks.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::fuzz {

// Printable form of a text for messages: ASCII as is, the rest as \uXXXX.
inline std::string Shown(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out;
}

inline std::string Shown(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F) {
      out.push_back(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      out += escaped;
    }
  }
  return out;
}

// Ends the run as a finding: libFuzzer keeps the input that got here.
[[noreturn]] inline void Broken(const char* invariant, const std::string& detail) {
  std::fprintf(stderr, "\ninvariant broken: %s\n  %s\n", invariant, detail.c_str());
  std::abort();
}

inline void Require(bool holds, const char* invariant, const std::string& detail = {}) {
  if (!holds) Broken(invariant, detail);
}

// The input as up to `count` fields separated by line feeds; the last field
// takes the rest, line feeds included. Fields the input does not reach are
// absent, so a short input leaves the later texts undelivered.
inline std::vector<std::optional<std::string>> Fields(const std::uint8_t* data, std::size_t size,
                                                      std::size_t count) {
  std::vector<std::optional<std::string>> fields(count);
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (std::size_t i = 0; i < count; ++i) {
    if (i + 1 == count) {
      fields[i] = std::string(rest);
      break;
    }
    std::size_t end = rest.find('\n');
    fields[i] = std::string(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return fields;
}

// UTF-8 as UTF-16; a byte that starts no valid sequence stands for the
// character of the same number, so every UTF-16 unit below 0x100 and every
// character is reachable from the input.
inline std::u16string Wide(std::string_view bytes) {
  std::u16string out;
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  for (std::size_t i = 0; i < bytes.size();) {
    unsigned lead = b(i);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
    if (lead >= 0xF5) length = 1;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    bool whole = length == 1 || i + length <= bytes.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
      if ((b(i + k) & 0xC0) != 0x80) whole = false;
      else cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (!whole || cp > 0x10FFFF) {
      length = 1;
      cp = lead;
    }
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += length;
  }
  return out;
}

inline std::optional<std::u16string> WideField(const std::optional<std::string>& bytes) {
  if (!bytes) return std::nullopt;
  return Wide(std::string_view(*bytes));
}

// A decimal number from a field (an optional sign, then digits; anything
// else after them is ignored); `otherwise` when the field has none.
inline long long Number(const std::optional<std::string>& field, long long otherwise = 0) {
  if (!field) return otherwise;
  const char* p = field->c_str();
  char* end = nullptr;
  long long value = std::strtoll(p, &end, 10);
  return end == p ? otherwise : value;
}

inline bool IsValidUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace vorlane::fuzz
