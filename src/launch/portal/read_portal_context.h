#pragma once
// Fills a PortalContext from the hosting page.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launch/portal/portal_context.h"
#include "page/page.h"

namespace vorlane {

// The page location's port: 443 when the text is absent or empty, otherwise
// the decimal number at its start (leading white space and a sign allowed;
// no digits give 0; out-of-range values saturate like the C library does).
std::int32_t PortFromText(const std::optional<std::u16string>& text);

// Copies the session id that follows the first "Varnex_SSLID=" in the cookie
// string into session: at most 32 characters, ending at the first ";", white
// space, double quote or control character, always terminated. False (session untouched) when there is no marker.
// The id is cut there so that text a page puts into its own cookies can
// neither become further arguments of the command lines built from it nor
// merge the arguments that follow it into one.
bool SessionFromCookie(std::u16string_view cookie, char16_t (&session)[kSessionCapacity]);

// page is null when the object the page passed is not a window: nothing
// changes and the read counts as done. Returns false, with nothing changed,
// when the location's host is missing or not a host name (IsHostName): such
// a page has no gateway to start anything for. Returns false also when the
// page has a cookie string without the session marker; host and port are
// stored then. A page without a cookie string keeps the earlier session id.
bool ReadPortalContext(PortalContext& context, Page* page);

}  // namespace vorlane
