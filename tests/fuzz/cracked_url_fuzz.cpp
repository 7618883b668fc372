// CrackedUrl over any text: a URL it accepts must come apart into parts that
// put it back together, each within its capacity; one it refuses changes
// nothing.
//
// Input: the URL as UTF-8 (bytes that start no sequence stand for
// themselves), up to its first NUL.
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "launch/download/cracked_url.h"

namespace vorlane::fuzz {
namespace {

constexpr char16_t kEarlier[] = u"https://earlier.example:8443/a/b?c#d";

bool SameParts(const CrackedUrl& a, const CrackedUrl& b) {
  return a.Url() == b.Url() && a.Scheme() == b.Scheme() && a.Host() == b.Host() && a.Port() == b.Port() &&
         a.Path() == b.Path() && a.ExtraInfo() == b.ExtraInfo();
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

std::u16string LowerText(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) out.push_back(Lower(c));
  return out;
}

void CheckParts(const CrackedUrl& url, const std::u16string& text) {
  const std::string shown = Shown(text);
  Require(url.Url() == text, "the URL kept is the one cracked", shown);
  for (const std::u16string* part : {&url.Host(), &url.Path(), &url.ExtraInfo()}) {
    Require(part->size() < kUrlPartCapacity, "every part fits its 256-character buffer", shown);
  }

  std::size_t colon = text.find(u':');
  Require(colon != std::u16string::npos && text.compare(colon + 1, 2, u"//") == 0,
          "an accepted URL has a scheme and \"//\"", shown);
  std::u16string scheme = LowerText(text.substr(0, colon));
  UrlScheme expected = scheme == u"http" ? UrlScheme::kHttp
                       : scheme == u"https" ? UrlScheme::kHttps
                       : scheme == u"ftp"   ? UrlScheme::kFtp
                                            : UrlScheme::kUnknown;
  Require(url.Scheme() == expected, "the scheme number is the scheme's", shown);

  // What follows "//": [user@]host[:port], then path and extra info.
  std::u16string rest = text.substr(colon + 3);
  const std::u16string tail = url.Path() + url.ExtraInfo();
  Require(rest.size() >= tail.size() && rest.compare(rest.size() - tail.size(), tail.size(), tail) == 0,
          "path and extra info end the URL", shown);
  std::u16string authority = rest.substr(0, rest.size() - tail.size());
  Require(authority.find_first_of(u"/?#") == std::u16string::npos, "the authority ends at the first / ? or #",
          shown);
  Require(url.Path().empty() || url.Path()[0] == u'/', "a path starts with /", shown);
  Require(url.Path().find_first_of(u"?#") == std::u16string::npos, "a path holds no ? or #", shown);
  Require(url.ExtraInfo().empty() || url.ExtraInfo()[0] == u'?' || url.ExtraInfo()[0] == u'#',
          "extra info starts with ? or #", shown);

  std::size_t at = authority.rfind(u'@');
  if (at != std::u16string::npos) authority.erase(0, at + 1);
  Require(authority.compare(0, url.Host().size(), url.Host()) == 0, "the host opens the authority", shown);
  std::u16string after = authority.substr(url.Host().size());
  if (!after.empty()) {
    Require(after[0] == u':', "only a port follows the host", shown);
    std::u16string digits = after.substr(1);
    if (!digits.empty()) {
      unsigned long value = 0;
      for (char16_t c : digits) {
        Require(c >= u'0' && c <= u'9', "a port is digits", shown);
        value = value * 10 + (c - u'0');
        Require(value <= 65535, "a port is at most 65535", shown);
      }
      Require(url.Port() == value, "the port is the one written", shown);
    }
  }
  for (char16_t c : url.Host()) {
    Require(c > u' ' && c != 0x7F, "a host holds no blank or control character", shown);
  }
  if (expected == UrlScheme::kHttp || expected == UrlScheme::kHttps) {
    Require(!url.Host().empty(), "an HTTP(S) URL names a host", shown);
  }

  // The same text cracks the same way again.
  CrackedUrl again;
  Require(again.Crack(url.Url().c_str()) && SameParts(again, url), "cracking is repeatable", shown);
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  std::u16string text = Wide(std::string_view(reinterpret_cast<const char*>(data), size));
  text = text.substr(0, text.find(u'\0'));

  CrackedUrl url, earlier;
  Require(url.Crack(kEarlier) && earlier.Crack(kEarlier), "the earlier URL cracks");
  if (url.Crack(text.c_str())) {
    CheckParts(url, text);
  } else {
    Require(SameParts(url, earlier), "a URL that is refused changes nothing", Shown(text));
  }
  return 0;
}
