#pragma once
// What the caller (the control, from the machine's policy) decides for one
// installer download. The defaults are the behaviour without any policy.
#include <chrono>
#include <string>

namespace vorlane {

struct DownloadPolicy {
  // Check the gateway certificate's chain against the machine's trusted
  // roots and its name against the gateway's host.
  bool verifyGateway = false;
  // When set, the installer starts only when its Authenticode signer, on a
  // chain to a trusted root, has this subject: its simple name ("Corvanta
  // Ltd") or its whole distinguished name ("CN=Corvanta Ltd, O=..., C=...").
  std::u16string installerPublisher;
  // The whole download, from the first connect to the last byte.
  std::chrono::seconds deadline{600};
  // The longest wait for the gateway to move the download on by any byte.
  std::chrono::seconds stall{60};
};

}  // namespace vorlane
