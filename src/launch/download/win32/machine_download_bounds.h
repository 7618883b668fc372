#pragma once
// The download's time bounds an administrator may set as machine policy,
// under HKLM\SOFTWARE\Policies\Vorlane: "DownloadDeadline" (the whole
// download) and "DownloadStallLimit" (the longest wait without progress),
// each a REG_DWORD of seconds, taken between 1 and 86400. Without them the
// defaults hold: 600 s and 60 s.
#include "launch/download/download_policy.h"

namespace vorlane {

constexpr wchar_t kDownloadPolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";
constexpr wchar_t kDownloadDeadlineValue[] = L"DownloadDeadline";
constexpr wchar_t kDownloadStallValue[] = L"DownloadStallLimit";

// policy with the bounds the machine sets, the rest as given.
DownloadPolicy WithMachineDownloadBounds(DownloadPolicy policy);

}  // namespace vorlane
