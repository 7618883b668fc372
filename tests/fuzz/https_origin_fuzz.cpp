// The strict reader of page addresses and allow-list entries over any text:
// what it accepts is an https authority whose host is in the one comparable
// form, reads back to the same origin, and means the same as an entry as it
// does in an address.
//
// Input: the text as UTF-8 (bytes that start no sequence stand for
// themselves), NULs included.
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "support/https_origin.h"

namespace vorlane::fuzz {
namespace {

std::u16string PortText(std::uint16_t port) {
  std::string digits = std::to_string(port);
  return std::u16string(digits.begin(), digits.end());
}

void CheckOrigin(const HttpsOrigin& origin, const std::string& shown) {
  Require(!origin.host.empty() && origin.host.back() != u'.', "the host is named, without a final dot", shown);
  Require(origin.port != 0, "the port is 1 to 65535", shown);
  for (char16_t c : origin.host) {
    bool ascii = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.' ||
                 c == u'[' || c == u']' || c == u':';
    Require(ascii, "the host is lower-case ASCII (international labels in their xn-- form)", shown);
  }
  // The origin written out reads back as itself, as an address and as an entry.
  std::u16string authority = origin.host + u":" + PortText(origin.port);
  std::optional<HttpsOrigin> again = HttpsOriginOfAddress(u"https://" + authority + u"/");
  Require(again && *again == origin, "an origin written out reads back as itself", shown);
  std::optional<HttpsOrigin> entry = HttpsOriginOfEntry(authority);
  Require(entry && *entry == origin, "an origin written as an entry names itself", shown);
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  const std::u16string text = Wide(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string shown = Shown(text);

  if (std::optional<HttpsOrigin> origin = HttpsOriginOfAddress(text)) {
    std::u16string scheme = text.substr(0, 6);
    for (char16_t& c : scheme) c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    Require(scheme == u"https:", "only an https address has an origin", shown);
    CheckOrigin(*origin, shown);
  }
  if (std::optional<HttpsOrigin> entry = HttpsOriginOfEntry(text)) {
    CheckOrigin(*entry, shown);
    // An entry names the origin of the page at that authority, no other.
    std::optional<HttpsOrigin> page = HttpsOriginOfAddress(u"https://" + text + u"/");
    Require(page && *page == *entry, "an entry means what the same authority means in an address", shown);
  }
  return 0;
}
