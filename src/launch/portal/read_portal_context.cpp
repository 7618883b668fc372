#include "launch/portal/read_portal_context.h"

#include <utility>

#include "launch/portal/host_name.h"
#include "support/gateway_port.h"

namespace vorlane {
namespace {

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Where a session id ends: characters that could end or split a quoted
// argument of the command lines built from it (";", white space, the double
// quote and every control character).
bool EndsSession(char16_t c) {
  return c == u';' || c == u'"' || IsWhiteSpace(c) || c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

std::int32_t PortFromText(const std::optional<std::u16string>& text) { return GatewayPortFromText(text); }

bool SessionFromCookie(std::u16string_view cookie, char16_t (&session)[kSessionCapacity]) {
  std::u16string_view marker = kSessionCookieMarker;
  std::size_t at = cookie.find(marker);
  if (at == std::u16string_view::npos) return false;
  std::u16string_view rest = cookie.substr(at + marker.size());
  std::size_t length = 0;
  while (length < rest.size() && length < kSessionMaxLength && !EndsSession(rest[length])) {
    session[length] = rest[length];
    ++length;
  }
  session[length] = u'\0';
  return true;
}

bool ReadPortalContext(PortalContext& context, Page* page) {
  if (page == nullptr) return true;
  std::u16string host = page->Hostname().value_or(u"");
  if (!IsHostName(host)) return false;
  context.host = std::move(host);
  context.port = PortFromText(page->Port());
  std::optional<std::u16string> cookie = page->Cookie();
  if (!cookie) return true;
  return SessionFromCookie(*cookie, context.session);
}

}  // namespace vorlane
