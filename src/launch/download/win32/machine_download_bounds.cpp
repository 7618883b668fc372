#include "launch/download/win32/machine_download_bounds.h"

#include <windows.h>

#include <algorithm>

namespace vorlane {
namespace {

void ReadSeconds(const wchar_t* name, std::chrono::seconds& bound) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kDownloadPolicyKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return;
  bound = std::chrono::seconds(std::clamp<DWORD>(value, 1, 86400));
}

}  // namespace

DownloadPolicy WithMachineDownloadBounds(DownloadPolicy policy) {
  ReadSeconds(kDownloadDeadlineValue, policy.deadline);
  ReadSeconds(kDownloadStallValue, policy.stall);
  return policy;
}

}  // namespace vorlane
