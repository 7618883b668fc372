// The certificate login as a portal page drives it: Run(window) on the real
// control with "type" 2 or more, against the gateway's login endpoint, with
// the capi engine taking the client certificate from the personal store.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "certlogin/login_limits.h"
#include "common/message_box_watcher.h"
#include "cookie_store.h"
#include "login_certificates.h"
#include "login_gateway.h"
#include "personal_store.h"
#include "scenario_test.h"
#include "support/message_catalogue.h"

namespace vorlane::scenarios {
namespace {

using Clock = std::chrono::steady_clock;
using tests::ClientCertificateMode;
using tests::LoginGateway;

constexpr char kSession[] = "0123456789abcdef0123456789abcdef";
constexpr char kReplySession[] = "fedcba9876543210fedcba9876543210";

class CertLoginTest : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    ASSERT_TRUE(tests::EmptyPersonalStore());
    ASSERT_TRUE(tests::InstallClientCertificate(tests::TestLoginCertificates().user, L"vorlane-test-user"));
    ASSERT_TRUE(gateway_.Start());
    port_ = std::to_string(gateway_.Port());
  }
  void TearDown() override {
    ScenarioTest::TearDown();
    gateway_.Stop();
  }

  std::string Origin() const { return "https://127.0.0.1:" + port_; }
  std::u16string Portal() const { return Wide(Origin() + "/portals/index.html"); }

  struct Attempt {
    bool result = true;
    std::vector<host::Navigation> navigations;
    Clock::duration navigationToReturn{};
    int closedAtNavigation = -1;  // gateway connections of this attempt the client had closed when it navigated
    std::vector<tests::SeenBox> boxes;
  };

  // Run(window) on `address` with `cookie`, timing the return after the first navigation.
  Attempt RunLogin(const std::u16string& address, std::optional<std::u16string> cookie) {
    Attempt attempt;
    tests::MessageBoxWatcher watcher;
    std::atomic<Clock::rep> navigatedAt{0};
    // An earlier attempt's connection is closed by the time Run returns, but
    // the gateway may not have seen it yet: count from a gateway at rest.
    EXPECT_TRUE(PumpUntil([&] { return gateway_.OpenConnections() == 0; }, 5s));
    const int closedBefore = gateway_.ClosedConnections();
    auto page = host::FakePage::Make(address, cookie, [&](const host::Navigation&) {
      if (navigatedAt == 0) {
        navigatedAt = Clock::now().time_since_epoch().count();
        attempt.closedAtNavigation = gateway_.ClosedConnections() - closedBefore;
      }
    });
    EXPECT_TRUE(page);
    if (!page) return attempt;
    pages_.push_back(*page);
    host::CallResult result = RunOnPage(*page);
    Clock::time_point returned = Clock::now();
    EXPECT_EQ(S_OK, result.hr);
    EXPECT_EQ(VT_BOOL, V_VT(result.value.Get()));
    attempt.result = V_BOOL(result.value.Get()) == VARIANT_TRUE;
    attempt.navigations = page->Navigations();
    if (navigatedAt != 0) attempt.navigationToReturn = returned - Clock::time_point(Clock::duration(navigatedAt));
    attempt.boxes = watcher.Seen();
    return attempt;
  }

  std::string ExpectedRequest(const std::string& cookie) const {
    return "GET /certLogin HTTP/1.1\r\nAccept-Language: zh-CN\r\nAccept-Encoding: gzip, deflate\r\n"
           "Host: 127.0.0.1:" + port_ + "\r\nCookie: " + cookie + "\r\nContent-Location:" + Origin() +
           "/portals/index.html\r\nConnection: Keep-Alive\r\n\r\n";
  }

  void ExpectLoggedIn(const Attempt& attempt, const std::string& session, const std::string& target) {
    EXPECT_FALSE(attempt.result);
    EXPECT_TRUE(attempt.boxes.empty());
    ASSERT_EQ(1u, attempt.navigations.size());
    EXPECT_EQ(u"href", attempt.navigations[0].kind);
    EXPECT_EQ(Wide(target), attempt.navigations[0].url);
    EXPECT_GE(attempt.navigationToReturn, std::chrono::milliseconds(1000));
    EXPECT_EQ(0, attempt.closedAtNavigation) << "the TLS connection stays open during the pause";
    std::vector<std::u16string> cookies = host::CookiesFor(Wide(Origin() + "/"));
    EXPECT_NE(cookies.end(), std::find(cookies.begin(), cookies.end(), Wide("Varnex_SSLID=" + session)));
    EXPECT_NE(cookies.end(), std::find(cookies.begin(), cookies.end(), u"Client_Key=1"));
  }

  void ExpectFailure(const Attempt& attempt, MessageBase base, std::uint16_t type, const std::u16string& fallback) {
    EXPECT_FALSE(attempt.result);
    ASSERT_EQ(1u, attempt.boxes.size());
    MessageChoice choice = CertLoginMessage(base, type);
    EXPECT_EQ(MessageText(choice.entry), attempt.boxes[0].text);
    ASSERT_EQ(1u, attempt.navigations.size());
    EXPECT_EQ(fallback, attempt.navigations[0].url);
  }

  LoginGateway gateway_;
  std::string port_;
};

TEST_F(CertLoginTest, TypeThreeSendsThePageSessionAndLogsIn) {
  Embed(3);
  gateway_.Script(tests::RedirectReply(Origin() + "/portal/home"));
  Attempt attempt = RunLogin(Portal(), Wide(std::string("Varnex_SSLID=") + kSession + "; lang=en"));
  ExpectLoggedIn(attempt, kSession, Origin() + "/portal/home");
  auto visits = gateway_.Visits();
  ASSERT_EQ(1u, visits.size());
  EXPECT_EQ(ExpectedRequest(std::string("Varnex_SSLID=") + kSession + "; SSLVPN_lang=1"), visits[0].request);
  EXPECT_EQ(tests::DerBytes(tests::TestLoginCertificates().user.certificate), visits[0].clientCertificate);
  EXPECT_EQ("TLSv1.2", visits[0].protocol);
}

TEST_F(CertLoginTest, TypeSixTakesTheSessionFromTheReplyAndKeepsTheBlankOfTheTarget) {
  Embed(6);
  gateway_.Script(tests::RedirectReply(std::string(" ").append(Origin()).append("/portal/home"), kReplySession));
  Attempt attempt = RunLogin(Portal(), std::nullopt);
  ExpectLoggedIn(attempt, kReplySession, std::string(" ").append(Origin()).append("/portal/home"));
  auto visits = gateway_.Visits();
  ASSERT_EQ(1u, visits.size());
  EXPECT_EQ(ExpectedRequest("SSLVPN_lang=1"), visits[0].request);
  EXPECT_FALSE(visits[0].clientCertificate.empty());
}

TEST_F(CertLoginTest, StatusLineInARecordOfItsOwn) {
  Embed(5);
  const std::string session = "5p1175e5510n0000000000000000000a";
  tests::LoginReply split = tests::RedirectReply("/portal/home", session);
  std::string whole = split.records[0];
  std::size_t lineEnd = whole.find("\r\n") + 2;
  split.records = {whole.substr(0, lineEnd), whole.substr(lineEnd)};
  gateway_.Script(split);
  Attempt attempt = RunLogin(Portal(), std::nullopt);
  ExpectLoggedIn(attempt, session, "/portal/home");
  EXPECT_EQ(ExpectedRequest("SSLVPN_lang=0"), gateway_.Visits().at(0).request);
}

TEST_F(CertLoginTest, TwoAttemptsInOneProcessBothLogIn) {
  Embed(7);
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    std::string session = std::string(31, 'a') + char('0' + attempt);
    gateway_.Script(tests::RedirectReply("/portal/home" + std::to_string(attempt), session));
    ExpectLoggedIn(RunLogin(Portal(), std::nullopt), session, "/portal/home" + std::to_string(attempt));
  }
  EXPECT_EQ(2u, gateway_.Visits().size());
}

TEST_F(CertLoginTest, RefusedHandshakeWithoutACertificateInTheStoreShowsBaseTen) {
  ASSERT_TRUE(tests::EmptyPersonalStore());
  ASSERT_EQ(0, tests::PersonalStoreCount());
  gateway_.SetClientCertificateMode(ClientCertificateMode::Require);
  Embed(3);
  // Cookies do not tell ports apart: earlier tests' cookies may be there.
  std::vector<std::u16string> cookiesBefore = host::CookiesFor(Wide(Origin() + "/"));
  Attempt attempt = RunLogin(Portal(), Wide(std::string("Varnex_SSLID=") + kSession));
  ExpectFailure(attempt, kMsgCheckUsbKey, 3, Wide(Origin() + "/portals"));
  ASSERT_EQ(1u, attempt.boxes.size());
  EXPECT_EQ(u"Please check whether to insert the USB Key or the certificate is valid!", attempt.boxes[0].text);
  EXPECT_TRUE(gateway_.Visits().empty());
  EXPECT_EQ(cookiesBefore, host::CookiesFor(Wide(Origin() + "/")));
}

TEST_F(CertLoginTest, GatewaysThatOnlyRequestOrIgnoreCertificatesLetTheLoginThroughWithout) {
  ASSERT_TRUE(tests::EmptyPersonalStore());
  Embed(6);
  for (ClientCertificateMode mode : {ClientCertificateMode::Request, ClientCertificateMode::Ignore}) {
    const std::string session = std::string(31, 'r') + (mode == ClientCertificateMode::Request ? "q" : "i");
    gateway_.SetClientCertificateMode(mode);
    gateway_.Script(tests::RedirectReply("/portal/home", session));
    ExpectLoggedIn(RunLogin(Portal(), std::nullopt), session, "/portal/home");
  }
  auto visits = gateway_.Visits();
  ASSERT_EQ(2u, visits.size());
  EXPECT_TRUE(visits[0].clientCertificate.empty());
  EXPECT_TRUE(visits[1].clientCertificate.empty());
}

TEST_F(CertLoginTest, NothingListeningShowsBaseEightInChineseForTypeTwo) {
  std::u16string deadPortal = Portal();
  gateway_.Stop();  // its port is free now: nothing listens there
  Embed(2);
  Attempt attempt = RunLogin(deadPortal, Wide(std::string("Varnex_SSLID=") + kSession));
  ExpectFailure(attempt, kMsgConnectServerFailed, 2, Wide(Origin() + "/portals"));
  ASSERT_EQ(1u, attempt.boxes.size());
  EXPECT_EQ(u"连接服务器失败，请联系管理员！", attempt.boxes[0].text);
}

TEST_F(CertLoginTest, RepliesTheLoginRefusesShowTheirMessagesInTheTypesLanguage) {
  struct Row {
    const char* name;
    tests::LoginReply reply;
    std::uint16_t type;
    MessageBase base;
  };
  const std::vector<Row> rows = {
      {"Certificate", {{"HTTP/1.1 403 Forbidden\r\nX-Reason: Certificate unknown\r\n\r\n"}}, 3, kMsgCertificateInfoError},
      {"no session", tests::RedirectReply("/portal/home"), 5, kMsgAbnormalConnection},
      {"Location beyond 512 bytes",
       {{"HTTP/1.1 302 Found\r\nSet-Cookie: Varnex_SSLID=" + std::string(kReplySession) + "\r\nX-Pad: " +
         std::string(600, 'x') + "\r\nLocation:/portal/home\r\n\r\n"}},
       7,
       kMsgAbnormalConnection},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Embed(row.type);
    gateway_.Script(row.reply);
    Attempt attempt = RunLogin(Portal(), Wide(std::string("Varnex_SSLID=") + kSession));
    ExpectFailure(attempt, row.base, row.type, Wide(Origin() + "/portals"));
    ReleaseControl();
  }
}

TEST_F(CertLoginTest, MessagesCarryTheLanguageOfTheirSlot) {
  // Under Wine the language of MessageBoxExW shows in its button text.
  Embed(2);
  std::u16string deadPortal = Portal();
  gateway_.Stop();
  Attempt chinese = RunLogin(deadPortal, Wide(std::string("Varnex_SSLID=") + kSession));
  ReleaseControl();
  Embed(3);
  Attempt english = RunLogin(deadPortal, Wide(std::string("Varnex_SSLID=") + kSession));
  ASSERT_EQ(1u, chinese.boxes.size());
  ASSERT_EQ(1u, english.boxes.size());
  EXPECT_EQ(u"OK", english.boxes[0].okButton);
  EXPECT_NE(english.boxes[0].okButton, chinese.boxes[0].okButton);
}

// Takes the full bound once: the gateway completes the handshake, reads the
// request and never answers.
TEST_F(CertLoginTest, SilentGatewayShowsBaseFourteenAfterTheBound) {
  Embed(3);
  gateway_.Script(tests::SilentReply());
  Clock::time_point start = Clock::now();
  Attempt attempt = RunLogin(Portal(), Wide(std::string("Varnex_SSLID=") + kSession));
  Clock::duration took = Clock::now() - start;
  ExpectFailure(attempt, kMsgAuthenticationFailed, 3, Wide(Origin() + "/portals"));
  EXPECT_GE(took, kGatewayIoLimit);
  EXPECT_LT(took, kGatewayIoLimit + std::chrono::seconds(20));
  EXPECT_EQ(1u, gateway_.Visits().size());
}

// A gateway that sends its reply a byte every 7 s passes every single wait;
// the one deadline of the exchange cuts it, and the few bytes read by then
// hold no target.
TEST_F(CertLoginTest, TricklingGatewayIsCutAtTheExchangesDeadline) {
  Embed(3);
  gateway_.Script(tests::TrickledReply(tests::RedirectReply(Origin() + "/portal/home"), 7000));
  Clock::time_point start = Clock::now();
  Attempt attempt = RunLogin(Portal(), Wide(std::string("Varnex_SSLID=") + kSession));
  Clock::duration took = Clock::now() - start;
  ExpectFailure(attempt, kMsgAbnormalConnection, 3, Wide(Origin() + "/portals"));
  EXPECT_GE(took, kGatewayIoLimit - std::chrono::seconds(1));
  EXPECT_LT(took, kGatewayIoLimit + std::chrono::seconds(15));
  EXPECT_EQ(1u, gateway_.Visits().size());
}

TEST_F(CertLoginTest, ScriptOrAnotherHostAsTheTargetIsNeverNavigatedTo) {
  for (const std::string& target : std::vector<std::string>{"javascript:alert(document.cookie)", " javascript:void(0)",
                                                             "//evil.example/", "https://evil.example/portal/home",
                                                             "http://127.0.0.1:" + port_ + "/portal"}) {
    SCOPED_TRACE(target);
    Embed(3);
    gateway_.Script(tests::RedirectReply(target));
    Attempt attempt = RunLogin(Portal(), Wide(std::string("Varnex_SSLID=") + kSession));
    ExpectFailure(attempt, kMsgAbnormalConnection, 3, Wide(Origin() + "/portals"));
    ReleaseControl();
  }
}

}  // namespace
}  // namespace vorlane::scenarios
