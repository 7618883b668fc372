#include "policy/win32/registry_machine_policy.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

// The value's type and bytes; nothing when it does not exist.
struct RawValue {
  DWORD type = REG_NONE;
  bool readable = false;
  std::vector<BYTE> bytes;
};

std::optional<RawValue> ReadRaw(HKEY key, const char16_t* valueName) {
  const wchar_t* name = AsWide(valueName);
  RawValue raw;
  DWORD size = 0;
  LSTATUS status = RegQueryValueExW(key, name, nullptr, &raw.type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (status != ERROR_SUCCESS) return raw;
  // Spare room for terminators a string value was stored without.
  raw.bytes.assign(size + 2 * sizeof(wchar_t), 0);
  status = RegQueryValueExW(key, name, nullptr, &raw.type, raw.bytes.data(), &size);
  if (status != ERROR_SUCCESS) return raw;
  raw.bytes.resize(size);
  raw.readable = true;
  return raw;
}

std::u16string TextOf(const RawValue& raw) {
  std::u16string text(raw.bytes.size() / sizeof(char16_t), u'\0');
  if (!text.empty()) memcpy(text.data(), raw.bytes.data(), text.size() * sizeof(char16_t));
  return text;
}

// The strings of a REG_MULTI_SZ (or the one of a REG_SZ), joined by line
// breaks; empty strings are dropped.
std::u16string HostList(const RawValue& raw) {
  std::u16string data = TextOf(raw), list;
  std::size_t at = 0;
  while (at < data.size()) {
    std::size_t end = data.find(u'\0', at);
    if (end == std::u16string::npos) end = data.size();
    if (end > at) list += (list.empty() ? u"" : u"\n") + data.substr(at, end - at);
    if (raw.type == REG_SZ) break;
    at = end + 1;
  }
  return list;
}

std::optional<unsigned long long> NumberOf(const std::optional<RawValue>& raw) {
  if (!raw || !raw->readable) return std::nullopt;
  if (raw->type == REG_DWORD && raw->bytes.size() == sizeof(DWORD)) {
    DWORD value = 0;
    memcpy(&value, raw->bytes.data(), sizeof value);
    return value;
  }
  if (raw->type == REG_QWORD && raw->bytes.size() == sizeof(ULONGLONG)) {
    ULONGLONG value = 0;
    memcpy(&value, raw->bytes.data(), sizeof value);
    return value;
  }
  return std::nullopt;
}

bool SwitchOn(const std::optional<RawValue>& raw) {
  if (!raw) return false;
  std::optional<unsigned long long> number = NumberOf(raw);
  return !number || *number != 0;
}

}  // namespace

MachinePolicy ReadMachinePolicy() {
  MachinePolicy policy;
  HKEY key = nullptr;
  LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWide(kMachinePolicyKey), 0, KEY_QUERY_VALUE, &key);
  if (opened == ERROR_FILE_NOT_FOUND || opened == ERROR_PATH_NOT_FOUND) return policy;
  if (opened != ERROR_SUCCESS) {
    // A policy key the user may not read: deny rather than guess.
    policy.allowedHosts = u"";
    return policy;
  }
  std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> owned(key, &RegCloseKey);

  if (std::optional<RawValue> hosts = ReadRaw(key, kAllowedHostsValue)) {
    bool isText = hosts->type == REG_MULTI_SZ || hosts->type == REG_SZ;
    policy.allowedHosts = hosts->readable && isText ? HostList(*hosts) : u"";
  }
  policy.requireAllowList = SwitchOn(ReadRaw(key, kRequireAllowListValue));
  policy.verifyGateway = SwitchOn(ReadRaw(key, kVerifyGatewayValue));
  if (std::optional<RawValue> publisher = ReadRaw(key, kInstallerPublisherValue);
      publisher && publisher->readable && publisher->type == REG_SZ) {
    std::u16string text = TextOf(*publisher);
    policy.installerPublisher = text.substr(0, text.find(u'\0'));
  }
  policy.downloadDeadlineSeconds = SecondsWithin(NumberOf(ReadRaw(key, kDownloadDeadlineValue)),
                                                 kDownloadDeadlineDefault, kDownloadDeadlineMin,
                                                 kDownloadDeadlineMax);
  policy.downloadStallSeconds = SecondsWithin(NumberOf(ReadRaw(key, kDownloadStallValue)), kDownloadStallDefault,
                                              kDownloadStallMin, kDownloadStallMax);
  return policy;
}

}  // namespace vorlane
