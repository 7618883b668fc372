#include "policy/page_host.h"

#include <utility>

#include "support/ascii_case.h"

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
  host = ComparableHost(std::move(host));
  if (host.empty()) return std::nullopt;
  return host;
}

std::u16string ComparableHost(std::u16string name) {
  // "gw.example." names the same host as "gw.example".
  if (!name.empty() && name.back() == u'.') name.pop_back();
  for (char16_t& c : name) c = AsciiLower(c);
  return name;
}

}  // namespace vorlane
