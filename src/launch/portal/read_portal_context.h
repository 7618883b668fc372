#pragma once
// Fills a PortalContext from the hosting page.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launch/portal/portal_context.h"
#include "page/page.h"

namespace vorlane {

// Copies the session id after the first "Varnex_SSLID=" in the cookie string
// (SessionAfterMarker: at most 32 characters, cut at the first ";", blank,
// double quote or control character) into session, always terminated. False
// (session untouched) when there is no marker. The cut keeps text a page puts
// into its own cookies from becoming further arguments of the command lines
// built from the id, or from merging the arguments that follow it into one.
bool SessionFromCookie(std::u16string_view cookie, char16_t (&session)[kSessionCapacity]);

// page is null when the object the page passed is not a window: nothing
// changes and the read counts as done. Returns false, with nothing changed,
// when the location's host is missing or not a host name (IsHostName): such
// a page has no gateway to start anything for. Returns false also when the
// page has a cookie string without the session marker; host and port are
// stored then. A page without a cookie string keeps the earlier session id.
bool ReadPortalContext(PortalContext& context, Page* page);

}  // namespace vorlane
