// The certificate login's texts: the page's location, document address and
// cookie go into GET /certLogin, and the gateway's reply gives the session,
// the target and the verdict. The request must stay one well-formed header
// block; the reply decides the outcome and the message as the rules say.
//
// Input, one text per line: type, location.hostname, location.port,
// location.host, location.href, document.URL, document.cookie, the sizes in
// which the reply arrives (numbers apart by blanks), then the reply itself.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "certlogin/fake_login_ports.h"
#include "certlogin/login_exchange.h"
#include "certlogin/login_limits.h"
#include "certlogin/login_texts.h"
#include "fuzz_input.h"
#include "support/port_text.h"
#include "support/session_id.h"

namespace vorlane::fuzz {
namespace {

std::string Ansi(const std::optional<std::u16string>& text) { return tests::Narrow(text.value_or(u"")); }

std::optional<std::string> Session(std::string_view text) {
  std::size_t at = text.find(kSessionMarker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(at + std::strlen(kSessionMarker));
  std::size_t n = 0;
  // Ends: ";", the double quote, blank, every C0 control and DEL.
  auto continues = [](unsigned char b) { return b != ';' && b != '"' && b > ' ' && b != 0x7F; };
  while (n < rest.size() && n < kSessionMaxLength && continues(static_cast<unsigned char>(rest[n]))) ++n;
  return std::string(rest.substr(0, n));
}

// What the exchange reads of the reply: pieces as they come, until 512 bytes
// or the end of the header block, then up to the first NUL; nothing when
// the first read gives nothing.
std::optional<std::string> ReplyHead(std::deque<std::string> pieces) {
  std::string head;
  while (head.size() < kReplyReadLimit && head.find("\r\n\r\n") == std::string::npos && !pieces.empty()) {
    std::string piece = pieces.front();
    pieces.pop_front();
    std::size_t room = kReplyReadLimit - head.size();
    if (piece.empty()) break;
    if (piece.size() > room) {
      pieces.push_front(piece.substr(room));
      piece.resize(room);
    }
    head += piece;
  }
  if (head.empty()) return std::nullopt;
  return head.substr(0, head.find('\0'));
}

// A page text as the request carries it: control characters percent-encoded.
std::string Encoded(const std::string& text) {
  std::string out;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", b);
    out += b < 0x20 || b == 0x7F ? std::string(escaped) : std::string(1, c);
  }
  return out;
}

void CheckRequest(const std::string& request, const std::string& host, std::int32_t port,
                  const std::optional<std::string>& session, int langValue, const std::string& address,
                  const std::string& shown) {
  Require(request.compare(0, 25, "GET /certLogin HTTP/1.1\r\n") == 0, "the request asks for /certLogin", shown);
  Require(request.find("\r\n\r\n") == request.size() - 4, "the header block ends once, at the end",
          Shown(request));
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = request.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(request.substr(start, end - start));
  Require(lines.size() == 8, "seven lines and the blank one", Shown(request));
  for (const std::string& line : lines) {
    Require(line.find_first_of("\r\n") == std::string::npos, "no line holds a lone CR or LF", Shown(request));
  }
  Require(lines[3] == "Host: " + Encoded(host) + ":" + std::to_string(static_cast<std::uint32_t>(port)),
          "the Host header names host and port", Shown(lines[3]));
  Require(lines[4] == (session ? "Cookie: Varnex_SSLID=" + *session + "; SSLVPN_lang=1"
                               : "Cookie: SSLVPN_lang=" + std::to_string(langValue)),
          "the cookie header carries the page's session, or the language alone", Shown(lines[4]));
  Require(lines[5] == "Content-Location:" + Encoded(address), "the page's address goes as Content-Location", Shown(lines[5]));
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  auto fields = Fields(data, size, 9);
  const auto type = static_cast<std::uint16_t>(Number(fields[0], 3));
  tests::FakeLogin login;
  login.page.hostname = WideField(fields[1]);
  login.page.port = WideField(fields[2]);
  login.page.host = WideField(fields[3]);
  login.page.href = WideField(fields[4]);
  login.page.documentUrl = WideField(fields[5]);
  login.page.cookie = WideField(fields[6]);
  const std::string reply = fields[8].value_or("");
  std::deque<std::string> pieces;
  std::istringstream sizes(fields[7].value_or(""));
  std::size_t taken = 0;
  for (long long n; taken < reply.size() && sizes >> n;) {
    std::size_t piece = static_cast<std::size_t>(n < 0 ? 0 : n);
    pieces.push_back(reply.substr(taken, piece));
    taken += std::min(piece, reply.size() - taken);
  }
  if (taken < reply.size()) pieces.push_back(reply.substr(taken));
  login.tls.replyPieces = pieces;

  const int result = LoginExchange(login.page, type, login.ports);

  const std::string shown = Shown(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string host = Ansi(login.page.hostname);
  const std::int32_t port = PortFromText(login.page.port);
  std::optional<std::string> session = PortalType(type).LoginSendsPageSession() ? Session(Ansi(login.page.cookie)) : std::nullopt;

  // The verdict, worked out from the page and the reply alone.
  int base = 0;
  std::optional<std::string> target;
  if (PortalType(type).LoginSendsPageSession() && !session) {
    base = kMsgLocalCertInfoFailed;
  } else {
    CheckRequest(login.tls.written, host, port, session, PortalType(type).LoginLanguageValue(), Ansi(login.page.documentUrl), shown);
    const std::optional<std::string> read = ReplyHead(pieces);
    const std::string head = read.value_or("");
    if (!read) base = kMsgAuthenticationFailed;
    else if (head.find("Certificate") != std::string::npos) base = kMsgCertificateInfoError;
    else {
      if (!PortalType(type).LoginSendsPageSession()) session = Session(head);
      std::size_t at = head.find("Location:");
      std::size_t end = at == std::string::npos ? at : head.find("\r\n", at);
      if (!session || end == std::string::npos) base = kMsgAbnormalConnection;
      else target = head.substr(at + 9, end - at - 9);
      // Only a path or the gateway's own https address is a target.
      if (target && !IsGatewayTarget(*target, host, static_cast<std::uint16_t>(port))) {
        target.reset();
        base = kMsgAbnormalConnection;
      }
    }
  }

  Require(result == (target ? 1 : 0), "the login succeeds exactly when the reply gives what it needs", shown);
  if (!target) {
    Require(login.notice.shown.size() == 1, "a failure shows one message", shown);
    const MessageChoice expected = CertLoginMessage(static_cast<MessageBase>(base), type);
    Require(login.notice.shown[0].entry == expected.entry && login.notice.shown[0].slot == expected.slot,
            "the failure's message and language", shown + ": " + std::to_string(login.notice.shown[0].entry));
    Require(login.cookies.stored.empty() && login.page.assigned.empty(), "a failure stores and navigates nothing",
            shown);
  } else {
    Require(login.notice.shown.empty(), "a success shows nothing", shown);
    Require(session->size() <= kSessionMaxLength, "a session id holds at most 32 bytes", shown);
    const std::u16string address = u"https://" + login.page.host.value_or(u"") + u"/";
    Require(login.cookies.stored.size() == 2 && login.cookies.stored[0].first == address &&
                login.cookies.stored[1].first == address,
            "both cookies go to the gateway's address", shown);
    const std::u16string expectedCookie = u"Varnex_SSLID=" + tests::Wide(*session) + u"; path=/;expires=";
    Require(login.cookies.stored[0].second.compare(0, expectedCookie.size(), expectedCookie) == 0,
            "the session cookie holds the session", Shown(login.cookies.stored[0].second));
    Require(login.cookies.stored[1].second == u"Client_Key=1; path=/", "the client key cookie", shown);
    Require(login.page.assigned == std::vector<std::u16string>{tests::Wide(*target)},
            "the page goes to the reply's target, once", shown);
  }
  Require(login.tls.engineReferences == 0, "the engine's reference is dropped", shown);

  // Where the page goes after a failure.
  std::optional<std::u16string> fallback = FallbackAddress(login.page.href, login.page.host);
  const std::u16string href = login.page.href.value_or(u"");
  if (href.find(u"/portals") != std::u16string::npos) {
    Require(fallback == href.substr(0, href.rfind(u'/')), "a portal address is cut at its last slash", shown);
  } else if (login.page.host && !login.page.host->empty()) {
    Require(fallback == u"https://" + *login.page.host + u"/", "any other address goes to the origin's root", shown);
  } else {
    Require(!fallback, "without a host there is no fallback", shown);
  }
  return 0;
}
