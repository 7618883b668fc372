#pragma once
// The hardening an administrator sets for the whole machine. Each value
// absent means the product behaves as it always has; the Windows reader
// fills this from HKLM\SOFTWARE\Policies\Vorlane.
#include <optional>
#include <string>

namespace vorlane {

// Where Group Policy writes them (the template in packaging/policy names
// the same key and values).
constexpr char16_t kMachinePolicyKey[] = u"SOFTWARE\\Policies\\Vorlane";
constexpr char16_t kAllowedHostsValue[] = u"AllowedHosts";                 // REG_MULTI_SZ (or REG_SZ)
constexpr char16_t kRequireAllowListValue[] = u"RequireAllowList";         // REG_DWORD, 1 on
constexpr char16_t kVerifyGatewayValue[] = u"VerifyGateway";               // REG_DWORD, 1 on
constexpr char16_t kInstallerPublisherValue[] = u"InstallerPublisher";     // REG_SZ
constexpr char16_t kDownloadDeadlineValue[] = u"DownloadDeadlineSeconds";  // REG_DWORD
constexpr char16_t kDownloadStallValue[] = u"DownloadStallSeconds";        // REG_DWORD
constexpr const char16_t* kMachinePolicyValues[] = {kAllowedHostsValue,       kRequireAllowListValue,
                                                    kVerifyGatewayValue,      kInstallerPublisherValue,
                                                    kDownloadDeadlineValue,   kDownloadStallValue};

constexpr unsigned kDownloadDeadlineDefault = 600, kDownloadDeadlineMin = 1, kDownloadDeadlineMax = 3600;
constexpr unsigned kDownloadStallDefault = 60, kDownloadStallMin = 1, kDownloadStallMax = 600;

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
