#include "policy/win32/registry_allow_list.h"

#include <windows.h>

namespace vorlane {

std::optional<std::vector<std::u16string>> RegistryAllowList::AllowedHosts() {
  DWORD type = 0, bytes = 0;
  LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, kAllowListPolicyKey, kAllowListPolicyValue,
                                RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &bytes);
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return std::nullopt;
  std::vector<std::u16string> hosts;
  if (status != ERROR_SUCCESS || (type != REG_MULTI_SZ && type != REG_SZ)) return hosts;

  // Two spare terminators, so a value stored without its own still ends.
  std::u16string data(bytes / sizeof(char16_t) + 2, u'\0');
  status = RegGetValueW(HKEY_LOCAL_MACHINE, kAllowListPolicyKey, kAllowListPolicyValue,
                        RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &bytes);
  if (status != ERROR_SUCCESS) return hosts;
  data.resize(bytes / sizeof(char16_t));
  std::size_t at = 0;
  while (at < data.size()) {
    std::size_t end = data.find(u'\0', at);
    if (end == std::u16string::npos) end = data.size();
    if (end > at) hosts.push_back(data.substr(at, end - at));
    if (type == REG_SZ) break;
    at = end + 1;
  }
  return hosts;
}

}  // namespace vorlane
