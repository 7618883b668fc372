#include "certlogin/login_texts.h"

#include "certlogin/login_limits.h"
#include "support/session_id.h"

namespace vorlane {
namespace {

// A page text as a header value: control characters (CR and LF above all,
// which would end the header and start one of the page's own) go
// percent-encoded, as they would in an address.
std::string HeaderValue(std::string_view text) {
  std::string value;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      constexpr char kHex[] = "0123456789ABCDEF";
      value += '%';
      value += kHex[b >> 4];
      value += kHex[b & 0xF];
    } else {
      value += c;
    }
  }
  return value;
}

}  // namespace

std::optional<std::string> TargetAfterLocation(std::string_view reply) {
  std::string_view marker = "Location:";
  std::size_t at = reply.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t begin = at + marker.size();
  std::size_t end = reply.find("\r\n", begin);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(reply.substr(begin, end - begin));
}

namespace {

bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// "host" or "host:port" against the gateway; a port is decimal digits only.
bool IsGatewayAuthority(std::string_view authority, std::string_view host, std::uint16_t port) {
  std::size_t colon = authority.rfind(':');
  std::uint32_t named = 443;
  // A colon inside brackets belongs to an IPv6 literal, not to a port.
  if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
    std::string_view digits = authority.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return false;
    named = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      named = named * 10 + static_cast<std::uint32_t>(c - '0');
    }
    authority = authority.substr(0, colon);
  }
  return named == port && !host.empty() && SameTextIgnoringAsciiCase(authority, host);
}

}  // namespace

bool IsGatewayTarget(std::string_view target, std::string_view gatewayHost, std::uint16_t gatewayPort) {
  std::size_t first = target.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  target = target.substr(first, target.find_last_not_of(" \t") - first + 1);
  for (char c : target) {
    auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b == 0x7F || c == '\\') return false;
  }
  if (target[0] == '/') return target.size() == 1 || target[1] != '/';
  constexpr std::string_view kHttps = "https://";
  if (!SameTextIgnoringAsciiCase(target.substr(0, kHttps.size()), kHttps)) return false;
  std::string_view rest = target.substr(kHttps.size());
  return IsGatewayAuthority(rest.substr(0, rest.find_first_of("/?#")), gatewayHost, gatewayPort);
}

std::string LoginRequest(const std::string& host, std::int32_t port, const std::optional<std::string>& session,
                         int langValue, const std::string& pageAddress) {
  std::string cookie = session ? kSessionMarker + *session + "; SSLVPN_lang=1"
                               : "SSLVPN_lang=" + std::to_string(langValue);
  return "GET /certLogin HTTP/1.1\r\n"
         "Accept-Language: zh-CN\r\n"
         "Accept-Encoding: gzip, deflate\r\n"
         "Host: " + HeaderValue(host) + ":" + std::to_string(static_cast<std::uint32_t>(port)) + "\r\n"
         "Cookie: " + cookie + "\r\n"
         "Content-Location:" + HeaderValue(pageAddress) + "\r\n"
         "Connection: Keep-Alive\r\n"
         "\r\n";
}

std::optional<std::u16string> FallbackAddress(const std::optional<std::u16string>& href,
                                              const std::optional<std::u16string>& host) {
  if (href && href->find(u"/portals") != std::u16string::npos) return href->substr(0, href->rfind(u'/'));
  if (!host || host->empty()) return std::nullopt;
  return u"https://" + *host + u"/";
}

}  // namespace vorlane
