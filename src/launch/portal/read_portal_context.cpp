#include "launch/portal/read_portal_context.h"

#include <utility>

#include "launch/portal/host_name.h"
#include "support/port_text.h"

namespace vorlane {

bool SessionFromCookie(std::u16string_view cookie, char16_t (&session)[kSessionCapacity]) {
  std::optional<std::u16string> id = SessionAfterMarker(cookie);
  if (!id) return false;
  id->copy(session, kSessionMaxLength);
  session[id->size()] = u'\0';
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
