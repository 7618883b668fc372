// The portal context as the page delivers it (location host name, port text,
// cookie string) and every text built from it: the updater's arguments, the
// installer's parameters, the download address and its cookie header.
//
// Input: host name, port text and type on the first three lines, the cookie
// string in the rest; a text the input does not reach is not delivered.
#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_page.h"
#include "fuzz_input.h"
#include "launch/download/cracked_url.h"
#include "launch/download/download_installer.h"
#include "launch/portal/read_portal_context.h"
#include "launch/portal/run_launch_road.h"
#include "support/decimal_text.h"

namespace vorlane::fuzz {
namespace {

bool EndsSession(char16_t c) {
  return c == u';' || c == u'"' || c == u' ' || c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool IsHostNameCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
         c == u'.';
}

// Letters, digits, "-" and "."; or "[" hex digits, ":" and "." "]".
bool LooksLikeHostName(const std::u16string& host) {
  if (host.empty()) return false;
  if (host.front() == u'[') {
    if (host.size() < 3 || host.back() != u']') return false;
    for (std::size_t i = 1; i + 1 < host.size(); ++i) {
      char16_t c = host[i];
      bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
      if (!hex && c != u':' && c != u'.') return false;
    }
    return true;
  }
  for (char16_t c : host) {
    if (!IsHostNameCharacter(c)) return false;
  }
  return true;
}

std::vector<std::u16string> SplitAtBlanks(const std::u16string& text) {
  std::vector<std::u16string> words(1);
  for (char16_t c : text) {
    if (c == u' ') words.emplace_back();
    else words.back().push_back(c);
  }
  return words;
}

// A command line whose words are exactly `expected`, one blank apart.
void RequireWords(const std::u16string& line, const std::vector<std::u16string>& expected, const char* what) {
  Require(SplitAtBlanks(line) == expected, what, Shown(line));
  Require(line.find(u'"') == std::u16string::npos, "no double quote in a command line", Shown(line));
}

// keeps: the read kept the earlier session id (no cookie string, or a read
// that failed).
void CheckSession(const PortalContext& context, const std::optional<std::u16string>& cookie, bool keeps,
                  const std::u16string& previous) {
  std::u16string session = context.session;
  Require(session.size() <= kSessionMaxLength, "a session id holds at most 32 characters", Shown(session));
  for (char16_t c : session) {
    Require(!EndsSession(c), "a session id holds no ';', blank, quote or control character", Shown(session));
  }
  if (keeps) {
    Require(session == previous, "a page without cookies, or a failed read, keeps the session id", Shown(session));
    return;
  }
  std::size_t at = cookie->find(kSessionMarker16);
  if (at == std::u16string::npos) return;
  std::u16string rest = cookie->substr(at + std::char_traits<char16_t>::length(kSessionMarker16));
  Require(rest.compare(0, session.size(), session) == 0, "the session id is what follows the first marker",
          Shown(session) + " in " + Shown(*cookie));
  Require(session.size() == kSessionMaxLength || session.size() == rest.size() || EndsSession(rest[session.size()]),
          "the session id runs on to 32 characters or its end", Shown(session) + " in " + Shown(*cookie));
}

void CheckBuiltTexts(const PortalContext& context) {
  const std::u16string port = UnsignedDecimal(static_cast<std::uint32_t>(context.port));
  const std::u16string type = UnsignedDecimal(context.type.Value());
  RequireWords(UpdaterArguments(context),
               {u"-server", context.host, u"-port", port, u"-session", context.session, u"-type", type, u""},
               "the updater's arguments are its eight words and a closing blank");
  RequireWords(InstallerParameters(context),
               {u"Options", u"-server=" + context.host, u"-port=" + port, u"-session=" + std::u16string(context.session),
                u"-type=" + type, u"/S"},
               "the installer's parameters are its six words");

  const std::u16string header = SessionCookieHeader(context);
  Require(header == u"Cookie: Varnex_SSLID=" + std::u16string(context.session), "one cookie header, the session",
          Shown(header));

  const std::u16string url = InstallerUrl(context);
  CrackedUrl parts;
  bool cracked = parts.Crack(url.c_str());
  bool crackable = context.host.size() < kUrlPartCapacity && context.port >= 0 && context.port <= 65535;
  Require(cracked == crackable, "the download address cracks exactly when host and port can be used", Shown(url));
  if (!cracked) return;
  Require(parts.Scheme() == UrlScheme::kHttps, "the download goes over HTTPS", Shown(url));
  Require(parts.Host() == context.host, "the download goes to the page's host", Shown(url) + " -> " + Shown(parts.Host()));
  Require(parts.Port() == context.port, "the download goes to the page's port", Shown(url));
  Require(parts.Path() == kInstallerPath && parts.ExtraInfo().empty(), "the download asks for the installer",
          Shown(url));
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  auto fields = Fields(data, size, 4);
  tests::FakePage page;
  page.hostname = WideField(fields[0]);
  page.port = WideField(fields[1]);
  page.cookie = WideField(fields[3]);

  PortalContext context;
  const std::u16string previousHost = u"previous.example", previousSession = u"PREVIOUS";
  context.host = previousHost;
  context.port = 8443;
  std::char_traits<char16_t>::copy(context.session, previousSession.c_str(), previousSession.size() + 1);
  context.type = static_cast<std::uint16_t>(Number(fields[2]));

  const bool read = ReadPortalContext(context, &page);

  if (context.host != previousHost) {
    Require(page.hostname && context.host == *page.hostname, "the host stored is the page's host name",
            Shown(context.host));
    Require(LooksLikeHostName(context.host), "only a host name is stored", Shown(context.host));
  }
  if (read) {
    Require(LooksLikeHostName(context.host), "a host that is accepted is a host name", Shown(context.host));
    if (!page.port || page.port->empty()) {
      Require(context.port == 443, "no port text means 443", std::to_string(context.port));
    }
  }
  CheckSession(context, page.cookie, !read || !page.cookie, previousSession);
  if (read) CheckBuiltTexts(context);
  return 0;
}
