#pragma once
// The machine policy as Group Policy writes it: values under
// HKLM\SOFTWARE\Policies\Vorlane (the template in packaging/policy names
// the same values).
#include "policy/machine_policy.h"

namespace vorlane {

constexpr wchar_t kMachinePolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";
constexpr wchar_t kAllowedHostsValue[] = L"AllowedHosts";                    // REG_MULTI_SZ or REG_SZ
constexpr wchar_t kRequireAllowListValue[] = L"RequireAllowList";            // REG_DWORD, 1 on
constexpr wchar_t kVerifyGatewayValue[] = L"VerifyGateway";                  // REG_DWORD, 1 on
constexpr wchar_t kInstallerPublisherValue[] = L"InstallerPublisher";        // REG_SZ
constexpr wchar_t kDownloadDeadlineValue[] = L"DownloadDeadlineSeconds";     // REG_DWORD
constexpr wchar_t kDownloadStallValue[] = L"DownloadStallSeconds";           // REG_DWORD

// Read afresh on every call, so a policy change applies to the next call.
// AllowedHosts of another type, or one that cannot be read, is a list that
// allows nothing. A switch that is set but unreadable counts as on: a
// policy meant to close a hole must not open it by a wrong type.
MachinePolicy ReadMachinePolicy();

}  // namespace vorlane
