#pragma once
// The hardening an administrator sets for the whole machine. Each value
// absent means the product behaves as it always has; the Windows reader
// fills this from HKLM\SOFTWARE\Policies\Vorlane.
#include <optional>
#include <string>

namespace vorlane {

constexpr unsigned kDownloadDeadlineDefault = 600, kDownloadDeadlineMin = 30, kDownloadDeadlineMax = 3600;
constexpr unsigned kDownloadStallDefault = 60, kDownloadStallMin = 5, kDownloadStallMax = 600;

struct MachinePolicy {
  // The hosts whose pages may script the product, as the administrator wrote
  // them (several strings of a list joined by line breaks); nothing when no
  // list is set.
  std::optional<std::u16string> allowedHosts;
  // Without a list every page is refused, not every page allowed.
  bool requireAllowList = false;
  // The gateway's certificate chain and name are checked by the download
  // and the certificate login.
  bool verifyGateway = false;
  // The subject the downloaded installer's signer must carry; empty: the
  // installer is started unchecked.
  std::u16string installerPublisher;
  // Bounds of one installer download, in seconds, kept within their ranges.
  unsigned downloadDeadlineSeconds = kDownloadDeadlineDefault;
  unsigned downloadStallSeconds = kDownloadStallDefault;
};

// A number of seconds from the policy, kept within [low, high]; the
// default when the value is absent.
unsigned SecondsWithin(std::optional<unsigned long long> value, unsigned fallback, unsigned low, unsigned high);

}  // namespace vorlane
