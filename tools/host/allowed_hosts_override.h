#pragma once
// --allowed-hosts: the machine's allow-list policy set for one run of the
// host and put back as it was when the run ends, so a demo leaves no policy
// behind (nor removes one an administrator set).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "transcript.h"

namespace vorlane::host {

class AllowedHostsOverride {
 public:
  explicit AllowedHostsOverride(Transcript& out) : out_(out) {}
  ~AllowedHostsOverride();
  AllowedHostsOverride(const AllowedHostsOverride&) = delete;
  AllowedHostsOverride& operator=(const AllowedHostsOverride&) = delete;

  // Sets AllowedHosts to the hosts of `list` (separated by ";"), keeping the
  // value it replaces; false when the policy cannot be written.
  bool Set(const std::u16string& list);

 private:
  struct Saved {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  Transcript& out_;
  bool set_ = false;
  std::optional<Saved> previous_;  // nothing: there was no value
};

}  // namespace vorlane::host
