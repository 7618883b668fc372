#include "launch/download/installer_signature.h"

namespace vorlane {
namespace {

std::u16string Trimmed(const std::u16string& text) {
  std::size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  std::size_t last = text.find_last_not_of(u" \t");
  return text.substr(first, last - first + 1);
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameText(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

bool PublisherMatches(const SignerNames& signer, const std::u16string& wanted) {
  std::u16string name = Trimmed(wanted);
  if (name.empty()) return false;
  return SameText(name, Trimmed(signer.simpleName)) || SameText(name, Trimmed(signer.distinguishedName));
}

}  // namespace vorlane
