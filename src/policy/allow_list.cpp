#include "policy/allow_list.h"

#include <algorithm>

#include "policy/page_host.h"

namespace vorlane {
namespace {

constexpr char16_t kSeparators[] = u" \t\r\n;,";

// Whether one policy string names host. A string may hold several names
// separated by blanks, ";" or "," (an installer property carries one
// string); a final dot and case do not count.
bool EntryNames(const std::u16string& entry, const std::u16string& host) {
  std::size_t at = entry.find_first_not_of(kSeparators);
  while (at != std::u16string::npos) {
    std::size_t end = entry.find_first_of(kSeparators, at);
    if (ComparableHost(entry.substr(at, end == std::u16string::npos ? std::u16string::npos : end - at)) == host) {
      return true;
    }
    at = entry.find_first_not_of(kSeparators, end);
  }
  return false;
}

}  // namespace

bool PageMayScript(AllowListPolicy& policy, Page& page) {
  std::optional<std::vector<std::u16string>> allowed = policy.AllowedHosts();
  if (!allowed) return true;
  std::optional<std::u16string> address = page.DocumentUrl();
  if (!address) return false;
  std::optional<std::u16string> host = HostOfAddress(*address);
  if (!host) return false;
  return std::any_of(allowed->begin(), allowed->end(),
                     [&](const std::u16string& entry) { return EntryNames(entry, *host); });
}

}  // namespace vorlane
