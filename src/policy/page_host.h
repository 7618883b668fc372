#pragma once
// The host name of a page address, as the allow-list compares it.
#include <optional>
#include <string>

namespace vorlane {

// "https://User@GW.example:8443/portals/" gives "gw.example"; an address
// without "scheme://" or with an empty host gives nothing. IPv6 literals keep
// their brackets ("[::1]"). Only ASCII letters are lowered.
std::optional<std::u16string> HostOfAddress(const std::u16string& address);

// A host name as the allow-list compares it: "GW.Example." is "gw.example".
std::u16string ComparableHost(std::u16string name);

}  // namespace vorlane
