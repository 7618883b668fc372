#include "launch/portal/host_name.h"

namespace vorlane {
namespace {

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsHexDigit(char16_t c) { return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

bool IsBracketedIpv6(std::u16string_view host) {
  if (host.size() < 3 || host.front() != u'[' || host.back() != u']') return false;
  std::u16string_view inside = host.substr(1, host.size() - 2);
  bool colon = false;
  for (char16_t c : inside) {
    if (c == u':') colon = true;
    else if (!IsHexDigit(c) && c != u'.') return false;
  }
  return colon;
}

}  // namespace

bool IsHostName(std::u16string_view host) {
  if (host.empty()) return false;
  if (host.front() == u'[') return IsBracketedIpv6(host);
  for (char16_t c : host) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != u'-' && c != u'.') return false;
  }
  return true;
}

}  // namespace vorlane
