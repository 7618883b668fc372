#include "policy/allow_list.h"

#include <algorithm>

#include "policy/page_host.h"

namespace vorlane {
namespace {

char16_t LowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// An entry as an administrator may write it: surrounding blanks and a final
// dot do not count, nor does case.
std::u16string Normalised(std::u16string entry) {
  std::size_t first = entry.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  entry = entry.substr(first, entry.find_last_not_of(u" \t") - first + 1);
  if (!entry.empty() && entry.back() == u'.') entry.pop_back();
  std::transform(entry.begin(), entry.end(), entry.begin(), LowerAscii);
  return entry;
}

}  // namespace

bool PageMayScript(AllowListPolicy& policy, HostingPage& page) {
  std::optional<std::vector<std::u16string>> allowed = policy.AllowedHosts();
  if (!allowed) return true;
  std::optional<std::u16string> address = page.Address();
  if (!address) return false;
  std::optional<std::u16string> host = HostOfAddress(*address);
  if (!host) return false;
  return std::any_of(allowed->begin(), allowed->end(),
                     [&](const std::u16string& entry) { return Normalised(entry) == *host; });
}

}  // namespace vorlane
