#pragma once
// The gateway's session id as pages and replies carry it: the text after the
// first "Varnex_SSLID=", cut at the first character that could end or split
// an argument or a header (";", the double quote, white space, any control
// character) and after 32 characters. The launch road reads it from the
// page's cookie in UTF-16, the certificate login from the page's cookie in
// the ANSI code page and from the gateway's reply; all read it alike.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

constexpr char kSessionMarker[] = "Varnex_SSLID=";
constexpr char16_t kSessionMarker16[] = u"Varnex_SSLID=";
constexpr std::size_t kSessionMaxLength = 32;

// C0 controls (tab, CR and LF among them), space, DEL, and in UTF-16 the C1
// controls. A byte of 0x80 and above is part of a code-page or UTF-8
// character, never an end of its own.
constexpr bool EndsSessionId(char16_t c) {
  return c == u';' || c == u'"' || c <= u' ' || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}
constexpr bool EndsSessionId(char c) {
  auto b = static_cast<unsigned char>(c);
  return b == ';' || b == '"' || b <= ' ' || b == 0x7F;
}

// The id after the first marker; nullopt when there is no marker.
std::optional<std::string> SessionAfterMarker(std::string_view text);
std::optional<std::u16string> SessionAfterMarker(std::u16string_view text);

}  // namespace vorlane
