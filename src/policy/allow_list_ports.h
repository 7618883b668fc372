#pragma once
// What the allow-list decision reads: the administrator's policy and the
// address of the page that hosts the control.
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

class HostingPage {
 public:
  virtual ~HostingPage() = default;
  // The address of the document that hosts the control; nothing when the
  // container names no document.
  virtual std::optional<std::u16string> Address() = 0;
};

}  // namespace vorlane
