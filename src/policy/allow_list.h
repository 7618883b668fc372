#pragma once
// The machine's allow-list of portal origins: off until an administrator sets
// it (or requires it); once set, only https pages of a listed host and port
// may script the product.
#include <optional>
#include <string>

#include "page/page.h"
#include "policy/machine_policy.h"

namespace vorlane {

// Whether a page at address may script the product. Without a list: true,
// unless the policy requires one. With a list: the address must be https
// with an authority (see HttpsOriginOfAddress) and its host and port must be
// those of an entry. The list's strings may each name several entries
// separated by blanks, ";" or ","; an entry may name a port ("gw:8443"),
// without one only 443 matches. An entry that is not a plain host (a
// scheme, a path, a wildcard) matches nothing and is logged.
bool AddressMayScript(const MachinePolicy& policy, const std::optional<std::u16string>& address);

// The hosting page judged by its document's address: Unknown while a list
// is set and the container names no document yet (nothing the page gave may
// reach shared state before it is known). The page is asked for its address
// only while a list is set.
enum class PageVerdict { Allowed, Refused, Unknown };
PageVerdict JudgePage(const MachinePolicy& policy, Page& page);

// Allowed, and nothing else, lets the page script the control.
inline bool PageMayScript(const MachinePolicy& policy, Page& page) {
  return JudgePage(policy, page) == PageVerdict::Allowed;
}

}  // namespace vorlane
