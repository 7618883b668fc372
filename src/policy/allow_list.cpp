#include "policy/allow_list.h"

#include "support/diagnostic_log.h"
#include "support/https_origin.h"

namespace vorlane {
namespace {

constexpr char16_t kSeparators[] = u" \t\r\n;,";

// Whether one of the list's entries names origin. Entries the product cannot
// read are refused loudly: an administrator who wrote "https://gw/" or
// "*.example" must learn why the portal stopped working.
bool ListNames(const std::u16string& list, const HttpsOrigin& origin) {
  bool named = false;
  std::size_t at = list.find_first_not_of(kSeparators);
  while (at != std::u16string::npos) {
    std::size_t end = list.find_first_of(kSeparators, at);
    std::u16string entry = list.substr(at, end == std::u16string::npos ? std::u16string::npos : end - at);
    std::optional<HttpsOrigin> listed = HttpsOriginOfEntry(entry);
    if (!listed) {
      LogError(u"AllowedHosts: entry %s is not a host name and is ignored", entry.c_str());
    } else if (*listed == origin) {
      named = true;
    }
    at = list.find_first_not_of(kSeparators, end);
  }
  return named;
}

}  // namespace

bool AddressMayScript(const MachinePolicy& policy, const std::optional<std::u16string>& address) {
  if (!policy.allowedHosts) return !policy.requireAllowList;
  if (!address) return false;
  std::optional<HttpsOrigin> origin = HttpsOriginOfAddress(*address);
  if (!origin) return false;
  return ListNames(*policy.allowedHosts, *origin);
}

PageVerdict JudgePage(const MachinePolicy& policy, Page& page) {
  if (!policy.allowedHosts) return policy.requireAllowList ? PageVerdict::Refused : PageVerdict::Allowed;
  std::optional<std::u16string> address = page.DocumentUrl();
  if (!address) return PageVerdict::Unknown;
  return AddressMayScript(policy, address) ? PageVerdict::Allowed : PageVerdict::Refused;
}

}  // namespace vorlane
