#pragma once
// The origin of a page that may script the product, read strictly: only an
// https address with an authority counts, and its host is kept in the one
// form two names of the same host share.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

struct HttpsOrigin {
  // Lower-case ASCII without a final dot; international labels in their
  // "xn--" form; an IPv6 literal keeps its brackets ("[::1]").
  std::u16string host;
  std::uint16_t port = 443;

  bool operator==(const HttpsOrigin&) const = default;
};

// The origin of "https://host[:port]/..." (the scheme in any case; "\" ends
// the authority as "/" does, as browsers read it). Nothing for any other
// scheme ("about:", "javascript:", "http:", "file:" ...), for an address
// without "//" after the scheme, with user information ("user@"), with an
// empty or unreadable host ("%", blanks, "*") or with a port that is not a
// number from 1 to 65535. An empty port ("host:/") is 443.
std::optional<HttpsOrigin> HttpsOriginOfAddress(std::u16string_view address);

// An administrator's entry: "host" or "host:port", without scheme, path or
// wildcard; nothing when the entry is anything else. Without a port only
// 443 matches.
std::optional<HttpsOrigin> HttpsOriginOfEntry(std::u16string_view entry);

// A host name as origins compare it: "GW.Example." is "gw.example",
// "Bücher.example" is "xn--bcher-kva.example". Nothing for a name that is
// empty, has an empty label or holds a character no host name may hold.
std::optional<std::u16string> ComparableHostName(std::u16string_view name);

}  // namespace vorlane
