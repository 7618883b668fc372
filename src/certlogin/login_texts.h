#pragma once
// The texts of one login attempt: the request sent and what is read from the
// page and from the reply. Texts are held whole, whatever their length.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// The text after the first "Location:" up to the next CR LF (a blank after
// the colon belongs to it); nullopt without the marker or the CR LF.
std::optional<std::string> TargetAfterLocation(std::string_view reply);

// GET /certLogin with the session from the page, or with the SSLVPN_lang
// value when there is none. Control characters in host and page address are
// sent percent-encoded, so the page's texts cannot add header lines.
std::string LoginRequest(const std::string& host, std::int32_t port, const std::optional<std::string>& session,
                         int langValue, const std::string& pageAddress);

// Where the page goes after a failed login: an address with "/portals" cut at
// its last "/"; any other address goes to the origin's root,
// "https://" + host (with ":port" when named) + "/". nullopt when the page
// names neither.
std::optional<std::u16string> FallbackAddress(const std::optional<std::u16string>& href,
                                              const std::optional<std::u16string>& host);

}  // namespace vorlane
