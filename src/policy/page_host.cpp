#include "policy/page_host.h"

namespace vorlane {

std::optional<std::u16string> HostOfAddress(const std::u16string& address) {
  std::size_t scheme = address.find(u"://");
  if (scheme == std::u16string::npos || scheme == 0) return std::nullopt;
  std::size_t start = scheme + 3;
  std::size_t end = address.find_first_of(u"/?#\\", start);
  std::u16string authority = address.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
  std::size_t at = authority.rfind(u'@');
  if (at != std::u16string::npos) authority.erase(0, at + 1);
  std::u16string host;
  if (!authority.empty() && authority.front() == u'[') {
    std::size_t close = authority.find(u']');
    if (close == std::u16string::npos) return std::nullopt;
    host = authority.substr(0, close + 1);
  } else {
    host = authority.substr(0, authority.find(u':'));
  }
  // "gw.example." names the same host as "gw.example".
  if (!host.empty() && host.back() == u'.') host.pop_back();
  if (host.empty()) return std::nullopt;
  for (char16_t& c : host) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return host;
}

}  // namespace vorlane
