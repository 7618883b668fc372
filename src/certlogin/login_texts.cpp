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
