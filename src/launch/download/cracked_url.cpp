#include "launch/download/cracked_url.h"

#include <string_view>

#include "support/ascii_case.h"
#include "support/port_text.h"

namespace vorlane {
namespace {

bool SameLetters(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

struct KnownScheme {
  std::u16string_view name;
  UrlScheme number;
  std::uint16_t defaultPort;
};
constexpr KnownScheme kSchemes[] = {
    {u"http", UrlScheme::kHttp, 80}, {u"https", UrlScheme::kHttps, kHttpsPort}, {u"ftp", UrlScheme::kFtp, 21}};

bool Fits(std::u16string_view part) { return part.size() < kUrlPartCapacity; }

}  // namespace

bool CrackedUrl::Crack(const char16_t* url) {
  if (url == nullptr) return false;
  std::u16string_view text(url);

  std::size_t colon = text.find(u':');
  if (colon == 0 || colon == std::u16string_view::npos || !IsLetter(text[0])) return false;
  std::u16string_view schemeName = text.substr(0, colon);
  for (char16_t c : schemeName) {
    if (!IsLetter(c) && !IsDigit(c) && c != u'+' && c != u'-' && c != u'.') return false;
  }
  if (text.substr(colon + 1, 2) != u"//") return false;

  UrlScheme scheme = UrlScheme::kUnknown;
  std::uint16_t port = 0;
  for (const KnownScheme& known : kSchemes) {
    if (SameLetters(schemeName, known.name)) {
      scheme = known.number;
      port = known.defaultPort;
    }
  }

  std::u16string_view rest = text.substr(colon + 3);
  std::size_t authorityEnd = rest.find_first_of(u"/?#");
  std::u16string_view authority = rest.substr(0, authorityEnd);
  std::u16string_view tail = authorityEnd == std::u16string_view::npos ? std::u16string_view{}
                                                                        : rest.substr(authorityEnd);
  std::size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) authority.remove_prefix(at + 1);

  std::u16string_view host = authority;
  std::u16string_view portText;
  bool hasPort = false;
  if (!authority.empty() && authority[0] == u'[') {
    std::size_t close = authority.find(u']');
    if (close == std::u16string_view::npos) return false;
    host = authority.substr(0, close + 1);
    std::u16string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after[0] != u':') return false;
      portText = after.substr(1);
      hasPort = true;
    }
  } else if (std::size_t portColon = authority.find(u':'); portColon != std::u16string_view::npos) {
    host = authority.substr(0, portColon);
    portText = authority.substr(portColon + 1);
    hasPort = true;
  }
  for (char16_t c : host) {
    if (c <= u' ' || c == 0x7F) return false;
  }
  if (host.empty() && (scheme == UrlScheme::kHttp || scheme == UrlScheme::kHttps)) return false;
  if (hasPort && !portText.empty()) {
    unsigned long value = 0;
    for (char16_t c : portText) {
      if (!IsDigit(c)) return false;
      value = value * 10 + (c - u'0');
      if (value > 65535) return false;
    }
    port = static_cast<std::uint16_t>(value);
  }

  std::size_t extraStart = tail.find_first_of(u"?#");
  std::u16string_view path = tail.substr(0, extraStart);
  std::u16string_view extra =
      extraStart == std::u16string_view::npos ? std::u16string_view{} : tail.substr(extraStart);
  if (!Fits(host) || !Fits(path) || !Fits(extra)) return false;

  url_ = text;
  scheme_ = scheme;
  host_ = host;
  port_ = port;
  path_ = path;
  extraInfo_ = extra;
  return true;
}

}  // namespace vorlane
