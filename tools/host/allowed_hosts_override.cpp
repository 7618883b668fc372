#include "allowed_hosts_override.h"

#include "text.h"

namespace vorlane::host {
namespace {

constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";
constexpr wchar_t kAllowedHosts[] = L"AllowedHosts";

}  // namespace

bool AllowedHostsOverride::Set(const std::u16string& list) {
  DWORD type = 0, size = 0;
  LSTATUS found = RegGetValueW(HKEY_LOCAL_MACHINE, kPolicyKey, kAllowedHosts, RRF_RT_ANY | RRF_NOEXPAND, &type,
                               nullptr, &size);
  if (found == ERROR_SUCCESS) {
    Saved saved{type, std::vector<BYTE>(size)};
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kPolicyKey, kAllowedHosts, RRF_RT_ANY | RRF_NOEXPAND, &saved.type,
                     saved.data.data(), &size) != ERROR_SUCCESS) {
      out_.Add("error policy: the present AllowedHosts cannot be read, so it would not be put back");
      return false;
    }
    saved.data.resize(size);
    previous_ = std::move(saved);
  }

  std::u16string multi;
  for (size_t at = 0; at <= list.size();) {
    size_t end = std::min(list.find(u';', at), list.size());
    if (end > at) multi += list.substr(at, end - at) + u'\0';
    at = end + 1;
  }
  multi += u'\0';
  LSTATUS status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, kAllowedHosts, REG_MULTI_SZ, multi.data(),
                                   static_cast<DWORD>(multi.size() * sizeof(char16_t)));
  out_.Add(status == ERROR_SUCCESS ? "policy AllowedHosts " + Quote(list) : "error policy " + Hex(status));
  set_ = status == ERROR_SUCCESS;
  return set_;
}

AllowedHostsOverride::~AllowedHostsOverride() {
  if (!set_) return;
  LSTATUS status;
  if (previous_) {
    status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, kAllowedHosts, previous_->type, previous_->data.data(),
                             static_cast<DWORD>(previous_->data.size()));
  } else {
    status = RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, kAllowedHosts);
    // The key goes too when nothing else is in it.
    HKEY key = nullptr;
    DWORD subkeys = 1, values = 1;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr);
      RegCloseKey(key);
      if (subkeys == 0 && values == 0) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPolicyKey);
    }
  }
  out_.Add(status == ERROR_SUCCESS ? std::string(previous_ ? "policy AllowedHosts put back" : "policy AllowedHosts removed")
                                   : "error putting back policy " + Hex(status));
}

}  // namespace vorlane::host
