#pragma once
// The administrator's policy, as the allow-list decision reads it.
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

class AllowListPolicy {
 public:
  virtual ~AllowListPolicy() = default;
  // The host names the administrator allows; nothing when no policy is set.
  // A policy that is set but empty allows no page.
  virtual std::optional<std::vector<std::u16string>> AllowedHosts() = 0;
};

}  // namespace vorlane
