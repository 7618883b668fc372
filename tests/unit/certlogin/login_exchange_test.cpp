#include "certlogin/login_exchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "certlogin/login_limits.h"
#include "fake_login_ports.h"

namespace vorlane {
namespace {

using namespace std::chrono;
using tests::CallLog;
using tests::FakeLogin;
using tests::Narrow;

constexpr char kSession[] = "0123456789abcdef0123456789abcdef";
constexpr char kReply[] = "HTTP/1.1 302 Found\r\nLocation: https://gw.example/portal/home\r\n\r\n";

// The calls after the last one named `from`.
CallLog After(const CallLog& log, const std::string& from) {
  auto at = std::find(log.rbegin(), log.rend(), from);
  return CallLog(at.base(), log.end());
}

bool Logged(const CallLog& log, const std::string& call) {
  return std::find(log.begin(), log.end(), call) != log.end();
}

class LoginExchangeTest : public ::testing::Test {
 protected:
  FakeLogin f;
  void SetUp() override {
    f.tls.replyPieces = {kReply};
    f.clock.now = sys_days{year{2026} / 12 / 9} + hours{22} + minutes{10} + seconds{5};
  }
  void Login(std::uint16_t type) { CertificateLogin(&f.page, type, f.ports); }
};

TEST_F(LoginExchangeTest, SessionFromThePageEveryCallInOrderCookiesNavigationPauseThenRelease) {
  EXPECT_EQ(1, LoginExchange(f.page, 3, f.ports));
  EXPECT_EQ((CallLog{"winsock", "start", "context new", "max version TLS 1.2", "client sigalgs", "engine cleanup",
                     "engine load capi", "engine by id capi", "engine set default", "client cert engine", "engine free",
                     "resolve gw.example", "socket", "connect", "limit transfers", "connection new", "set fd 7",
                     "auto retry", "handshake", "get cookie", "write", "read",
                     std::string("cookie https://gw.example/ Varnex_SSLID=") + kSession +
                         "; path=/;expires=Thu, 09-Dec-2027 22:10:05 GMT",
                     "cookie https://gw.example/ Client_Key=1; path=/", "navigate  https://gw.example/portal/home",
                     "pause 1000", "connection free", "context free", "closesocket 7"}),
            f.log);
  EXPECT_EQ(std::string("GET /certLogin HTTP/1.1\r\nAccept-Language: zh-CN\r\nAccept-Encoding: gzip, deflate\r\n"
                        "Host: gw.example:443\r\nCookie: Varnex_SSLID=") +
                kSession +
                "; SSLVPN_lang=1\r\nContent-Location:https://gw.example/portals/index.html\r\n"
                "Connection: Keep-Alive\r\n\r\n",
            f.tls.written);
  EXPECT_EQ(kClientSignatureAlgorithms, f.tls.sigalgs);
  EXPECT_TRUE(f.notice.shown.empty());
}

TEST_F(LoginExchangeTest, SessionFromTheReplyAndCookiesForTheHostWithItsPort) {
  f.page.port = u"8443";
  f.page.host = u"gw.example:8443";
  f.tls.replyPieces = {"HTTP/1.1 302 Found\r\nSet-Cookie: Varnex_SSLID=fedcba9876543210fedcba9876543210; path=/\r\n"
                       "Location:/portal/home\r\n\r\n"};
  for (std::uint16_t type : {5, 6, 7, 65535}) {
    SCOPED_TRACE(type);
    f.tls.written.clear();
    f.cookies.stored.clear();
    f.tls.replyPieces = {"Set-Cookie: Varnex_SSLID=fedcba9876543210fedcba9876543210; path=/\r\n"
                         "Location:/portal/home\r\n\r\n"};
    EXPECT_EQ(1, LoginExchange(f.page, type, f.ports));
    std::string lang = type == 6 ? "1" : "0";
    EXPECT_NE(std::string::npos,
              f.tls.written.find("Host: gw.example:8443\r\nCookie: SSLVPN_lang=" + lang + "\r\nContent-Location:"));
    ASSERT_EQ(2u, f.cookies.stored.size());
    EXPECT_EQ(u"https://gw.example:8443/", f.cookies.stored[0].first);
    EXPECT_EQ("Varnex_SSLID=fedcba9876543210fedcba9876543210; path=/;expires=Thu, 09-Dec-2027 22:10:05 GMT",
              Narrow(f.cookies.stored[0].second));
    EXPECT_EQ(u"/portal/home", f.page.assigned.back());
  }
  EXPECT_FALSE(Logged(f.log, "get cookie"));
}

struct FailureRow {
  const char* name;
  std::function<void(FakeLogin&)> arrange;
  std::string lastStep;  // the call at which the attempt turns back
  CallLog released;      // what follows it up to the message or the fallback
  int base;              // -1: silent
};

TEST_F(LoginExchangeTest, EveryFailureReleasesWhatExistsShowsItsMessageThenFallsBack) {
  const CallLog all{"connection free", "context free", "closesocket 7"};
  const std::vector<FailureRow> rows = {
      {"no context", [](FakeLogin& f) { f.tls.contextMade = false; }, "context new", {}, 2},
      {"sigalgs refused", [](FakeLogin& f) { f.tls.sigalgsTaken = false; }, "client sigalgs", {"context free"}, 2},
      {"no capi engine", [](FakeLogin& f) { f.tls.engineFound = false; }, "engine by id capi", {"context free"}, 4},
      {"engine cannot supply", [](FakeLogin& f) { f.tls.certEngineResult = 0; }, "engine free", {"context free"}, 4},
      {"no connection", [](FakeLogin& f) { f.sockets.connects = false; }, "closesocket 7", {"context free"}, 8},
      {"SSL_new", [](FakeLogin& f) { f.tls.connectionMade = false; }, "connection new",
       {"context free", "closesocket 7"}, -1},
      {"SSL_set_fd", [](FakeLogin& f) { f.tls.setSocketResult = 0; }, "set fd 7", all, -1},
      {"handshake", [](FakeLogin& f) { f.tls.connectResult = 0; }, "handshake", all, 10},
      {"no page session", [](FakeLogin& f) { f.page.cookie = u"lang=en; VARNEX_SSLID=x"; }, "get cookie", all, 12},
      {"no cookie string", [](FakeLogin& f) { f.page.cookie = std::nullopt; }, "get cookie", all, 12},
      {"write", [](FakeLogin& f) { f.tls.writeResults = {-1}; }, "write", all, 14},
      {"read", [](FakeLogin& f) { f.tls.replyPieces.clear(); }, "read", all, 14},
      {"Certificate", [](FakeLogin& f) { f.tls.replyPieces = {"HTTP/1.1 403 Certificate revoked\r\n\r\n"}; }, "read",
       all, 16},
      {"no Location", [](FakeLogin& f) { f.tls.replyPieces = {"HTTP/1.1 200 OK\r\n\r\n"}; }, "read", all, 18},
      {"Location without CR LF", [](FakeLogin& f) { f.tls.replyPieces = {"HTTP/1.1 302\r\nLocation: /home"}; },
       "read", all, 18},
  };
  for (const FailureRow& row : rows) {
    for (std::uint16_t type : {2, 3}) {
      SCOPED_TRACE(std::string(row.name) + " type " + std::to_string(type));
      FakeLogin f;
      f.tls.replyPieces = {kReply};
      row.arrange(f);
      CertificateLogin(&f.page, type, f.ports);
      CallLog expected = row.released;
      int slot = type == 3 ? 0 : 1;
      if (row.base >= 0) expected.push_back("message " + std::to_string(row.base + slot) + " slot " +
                                            std::to_string(slot));
      expected.push_back("navigate https://gw.example/portals");
      EXPECT_EQ(expected, After(f.log, row.lastStep));
      EXPECT_TRUE(f.cookies.stored.empty());
      EXPECT_EQ(0, f.tls.engineReferences);
    }
  }
}

TEST_F(LoginExchangeTest, TypesThreeAndFiveSpeakEnglishEveryOtherTypeChinese) {
  f.sockets.connects = false;
  for (auto [type, slot] : {std::pair{2, 1}, {3, 0}, {4, 1}, {5, 0}, {6, 1}, {7, 1}, {65535, 1}}) {
    f.notice.shown.clear();
    EXPECT_EQ(0, LoginExchange(f.page, static_cast<std::uint16_t>(type), f.ports));
    ASSERT_EQ(1u, f.notice.shown.size()) << type;
    EXPECT_EQ(8 + slot, f.notice.shown[0].entry) << type;
    EXPECT_EQ(slot, f.notice.shown[0].slot) << type;
  }
}

TEST_F(LoginExchangeTest, MissingPageSessionIsFoundBeforeAnythingIsSent) {
  f.page.cookie = u"";
  Login(4);
  EXPECT_TRUE(Logged(f.log, "handshake"));
  EXPECT_FALSE(Logged(f.log, "write"));
  EXPECT_TRUE(f.tls.written.empty());
}

TEST_F(LoginExchangeTest, ReplyFromTheReplySessionWithoutItIsAbnormal) {
  f.tls.replyPieces = {kReply};
  Login(5);
  ASSERT_EQ(1u, f.notice.shown.size());
  EXPECT_EQ(18, f.notice.shown[0].entry);
}

// Reply texts and where the page goes, or the entry shown (type 6, Chinese).
struct ReplyRow {
  const char* name;
  std::deque<std::string> pieces;
  std::u16string navigation;  // empty: a failure with `entry`
  int entry = 0;
};

TEST_F(LoginExchangeTest, MarkersAreFoundAnywhereInTheFirstBytesOnly) {
  const std::string session = "Set-Cookie: Varnex_SSLID=0123456789abcdef0123456789abcdef\r\n";
  const std::vector<ReplyRow> rows = {
      {"status line in a record of its own", {"HTTP/1.1 302 Found\r\n", session + "Location: /home\r\n\r\n"}, u" /home"},
      {"marker split across records", {session + "Loca", "tion:/home", "\r\n\r\n"}, u"/home"},
      {"Content-Location first", {session + "Content-Location:/inner\r\nLocation: /real\r\n\r\n"}, u"/inner"},
      {"Certificate in a header", {session + "X-Info: Certificate expired\r\nLocation:/home\r\n\r\n"}, u"", 17},
      {"Certificate in the target", {session + "Location: /Certificate/err\r\n\r\n"}, u"", 17},
      {"Location after 512 bytes", {session + "X-Pad: " + std::string(520, 'x') + "\r\nLocation:/home\r\n\r\n"}, u"",
       19},
      {"Location inside 512 bytes of a long reply", {session + "Location:/home\r\n" + std::string(900, 'x')}, u"/home"},
      {"session at the very end", {"Location:/home\r\nVarnex_SSLID=abc"}, u"/home"},
      {"session in the target", {"Location:/home?Varnex_SSLID=abc\r\n\r\n"}, u"/home?Varnex_SSLID=abc"},
      {"NUL before the markers", {std::string("HTTP/1.1 302\r\n\0", 15) + session + "Location:/home\r\n\r\n"}, u"",
       19},
  };
  for (const ReplyRow& row : rows) {
    SCOPED_TRACE(row.name);
    FakeLogin f;
    f.tls.replyPieces = row.pieces;
    CertificateLogin(&f.page, 6, f.ports);
    ASSERT_EQ(1u, f.page.assigned.size());
    if (row.navigation.empty()) {
      ASSERT_EQ(1u, f.notice.shown.size());
      EXPECT_EQ(row.entry, f.notice.shown[0].entry);
      EXPECT_EQ(u"https://gw.example/portals", f.page.assigned[0]);
    } else {
      EXPECT_TRUE(f.notice.shown.empty());
      EXPECT_EQ(row.navigation, f.page.assigned[0]);
    }
  }
}

TEST_F(LoginExchangeTest, SessionShorterThanThirtyTwoAtTheEndOfTheReplyIsTaken) {
  f.tls.replyPieces = {"Location:/home\r\nSet-Cookie: Varnex_SSLID=abc12"};
  Login(7);
  ASSERT_EQ(2u, f.cookies.stored.size());
  EXPECT_EQ(0u, Narrow(f.cookies.stored[0].second).find("Varnex_SSLID=abc12; path=/;"));
}

TEST_F(LoginExchangeTest, ReadsUntilTheHeaderBlockEndsFiveHundredTwelveBytesOrTheConnectionEnds) {
  f.tls.replyPieces = {"HTTP/1.1 302 Found\r\n", "Location:/home\r\n\r\n", "body that is never read"};
  Login(3);
  EXPECT_EQ(2u, f.tls.readCapacities.size());
  EXPECT_EQ(512, f.tls.readCapacities[0]);
  EXPECT_EQ(512 - 20, f.tls.readCapacities[1]);

  FakeLogin g;
  g.tls.replyPieces = {std::string(300, 'a'), std::string(300, 'b')};
  CertificateLogin(&g.page, 3, g.ports);
  EXPECT_EQ((std::vector<int>{512, 212}), g.tls.readCapacities);

  FakeLogin h;
  h.tls.replyPieces = {"Location:/home\r\n"};  // then the connection ends
  CertificateLogin(&h.page, 3, h.ports);
  EXPECT_EQ(2u, h.tls.readCapacities.size());
  EXPECT_EQ((std::vector<std::u16string>{u"/home"}), h.page.assigned);
}

TEST_F(LoginExchangeTest, TextsLongerThanTheOldBuffersAreHeldAndSentWhole) {
  const std::string longHost = "a-gateway-name-of-forty-bytes.example.org";
  f.sockets.names[longHost] = {true, 0x0A000002};
  f.page.hostname = std::u16string(longHost.begin(), longHost.end());
  f.page.host = f.page.hostname;
  std::string url = "https://" + longHost + "/portals/" + std::string(300, 'p') + ".html";
  f.page.documentUrl = std::u16string(url.begin(), url.end());
  f.page.cookie = std::u16string(1500, u'c') + u"; Varnex_SSLID=0123456789abcdef0123456789abcdef";
  std::string target = "https://" + longHost + "/portal/" + std::string(300, 't');
  f.tls.replyPieces = {"Location:" + target + "\r\n\r\n"};
  f.tls.writeResults = {100, 1000};  // the library takes the request in two writes
  Login(2);
  EXPECT_EQ(longHost, f.sockets.resolved);
  EXPECT_EQ(0x0A000002u, f.sockets.connectedAddress);
  EXPECT_NE(std::string::npos, f.tls.written.find("Host: " + longHost + ":443\r\n"));
  EXPECT_NE(std::string::npos, f.tls.written.find("Varnex_SSLID=0123456789abcdef0123456789abcdef; SSLVPN_lang=1"));
  EXPECT_NE(std::string::npos, f.tls.written.find("Content-Location:" + url + "\r\nConnection: Keep-Alive\r\n\r\n"));
  EXPECT_EQ(std::u16string(target.begin(), target.end()), f.page.assigned.at(0));
}

TEST_F(LoginExchangeTest, UnresolvedNameGoesToLoopbackOnThePagePort) {
  f.page.hostname = u"portal.invalid";
  f.page.port = u" +9443";
  Login(3);
  EXPECT_EQ(0x7F000001u, f.sockets.connectedAddress);
  EXPECT_EQ(9443, f.sockets.connectedPort);
  EXPECT_NE(std::string::npos, f.tls.written.find("Host: portal.invalid:9443\r\n"));
}

TEST_F(LoginExchangeTest, EveryAttemptReleasesItsEngineReference) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    f.tls.replyPieces = {kReply};
    f.tls.certEngineResult = attempt % 2;
    Login(3);
  }
  EXPECT_EQ(0, f.tls.engineReferences);
  EXPECT_EQ(100, std::count(f.log.begin(), f.log.end(), "engine free"));
}

TEST(CertificateLogin, NoWindowDoesNothing) {
  FakeLogin f;
  CertificateLogin(nullptr, 3, f.ports);
  EXPECT_TRUE(f.log.empty());
}

TEST(CertificateLogin, FallbackWithoutPortalsGoesToTheOriginRoot) {
  FakeLogin f;
  f.sockets.connects = false;
  f.page.href = u"https://gw.example:8443/login";
  f.page.host = u"gw.example:8443";
  CertificateLogin(&f.page, 3, f.ports);
  EXPECT_EQ((std::vector<std::u16string>{u"https://gw.example:8443/"}), f.page.assigned);
}

}  // namespace
}  // namespace vorlane
