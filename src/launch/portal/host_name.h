#pragma once
// Which host texts may reach the updater's and installer's command lines and
// the download address built from them.
#include <string_view>

namespace vorlane {

// True for a DNS name or IPv4 address (ASCII letters, digits, "-" and ".")
// and for a bracketed IPv6 address ("[" hex digits, ":" and "." "]").
// Anything else ("@", blanks, quotes, "/", ":", "%", non-ASCII) could add an
// argument to an elevated start or send the download to another host, so it
// is refused, as is the empty text.
bool IsHostName(std::u16string_view host);

}  // namespace vorlane
