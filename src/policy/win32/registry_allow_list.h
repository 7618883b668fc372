#pragma once
// The allow-list as a machine policy: the REG_MULTI_SZ value "AllowedHosts"
// under HKLM\SOFTWARE\Policies\Vorlane, one host name per string.
#include "policy/allow_list_ports.h"

namespace vorlane {

constexpr wchar_t kAllowListPolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";
constexpr wchar_t kAllowListPolicyValue[] = L"AllowedHosts";

// Read afresh on every question, so a policy change applies to the next call.
// A REG_SZ value counts as a list of one; a value of any other type, or one
// that cannot be read, counts as a policy that allows nothing.
class RegistryAllowList final : public AllowListPolicy {
 public:
  std::optional<std::vector<std::u16string>> AllowedHosts() override;
};

}  // namespace vorlane
