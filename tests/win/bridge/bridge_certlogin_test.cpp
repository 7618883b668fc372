// Run's second road through vorlane-bridge.exe: the certificate login with
// the personal store's certificate against the gateway's login endpoint, its
// cookies and navigation handed to the browser, its failures told in the
// control's message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>

#include "bridge_process.h"
#include "common/message_box_watcher.h"
#include "login_certificates.h"
#include "login_gateway.h"
#include "personal_store.h"
#include "support/message_catalogue.h"

namespace vorlane::tests {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr char kSession[] = "0123456789abcdef0123456789abcdef";

class BridgeCertificateLogin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(EmptyPersonalStore());
    ASSERT_TRUE(gateway_.Start());
    port_ = std::to_string(gateway_.Port());
  }
  void TearDown() override { gateway_.Stop(); }

  std::string Origin() const { return "https://127.0.0.1:" + port_; }
  json Run(int type) {
    return BridgeCall(1, "Run", json::array(), Origin() + "/portals/index.html",
                      std::string("Varnex_SSLID=") + kSession + "; lang=en", type);
  }
  // Every reply of the call up to and with its result.
  std::vector<json> RepliesUntilResult(BridgeProcess& host) {
    std::vector<json> replies;
    while (std::optional<json> reply = host.NextReply(60s)) {
      replies.push_back(*reply);
      if (reply->contains("result") || reply->contains("error")) break;
    }
    return replies;
  }

  LoginGateway gateway_;
  std::string port_;
};

TEST_F(BridgeCertificateLogin, TypeThreeLogsInAndLeavesBothCookiesAndTheTargetToTheBrowser) {
  ASSERT_TRUE(InstallClientCertificate(TestLoginCertificates().user, L"vorlane-test-user"));
  gateway_.Script(RedirectReply(Origin() + "/portal/home"));
  MessageBoxWatcher watcher;
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Run(3)));
  std::vector<json> replies = RepliesUntilResult(host);
  ASSERT_EQ(4u, replies.size());
  std::string gateway = Origin() + "/";
  EXPECT_EQ(replies[0]["action"], "setCookie");
  EXPECT_EQ(replies[0]["url"], gateway);
  EXPECT_EQ(replies[0]["name"], "Varnex_SSLID");
  EXPECT_EQ(replies[0]["value"], kSession);
  EXPECT_EQ(replies[0]["path"], "/");
  EXPECT_NEAR(replies[0]["expires"].get<double>(), static_cast<double>(std::time(nullptr) + 365 * 86400), 2 * 86400.0);
  EXPECT_EQ(replies[1], json({{"id", 1}, {"action", "setCookie"}, {"url", gateway}, {"name", "Client_Key"},
                              {"value", "1"}, {"path", "/"}}));
  EXPECT_EQ(replies[2], json({{"id", 1}, {"action", "navigate"}, {"how", "assign"}, {"url", Origin() + "/portal/home"}}));
  EXPECT_EQ(replies[3], json({{"id", 1}, {"result", false}})) << "false after a login that navigated";
  EXPECT_TRUE(watcher.Seen().empty());

  std::vector<LoginVisit> visits = gateway_.Visits();
  ASSERT_EQ(1u, visits.size());
  EXPECT_NE(std::string::npos, visits[0].request.find(std::string("Cookie: Varnex_SSLID=") + kSession + "; SSLVPN_lang=1"));
  EXPECT_EQ(DerBytes(TestLoginCertificates().user.certificate), visits[0].clientCertificate);
}

TEST_F(BridgeCertificateLogin, WithoutACertificateTheUserIsToldAndThePageGoesToItsFallback) {
  gateway_.SetClientCertificateMode(ClientCertificateMode::Require);
  MessageBoxWatcher watcher;
  BridgeProcess host;
  ASSERT_TRUE(host.Send(Run(3)));
  std::vector<json> replies = RepliesUntilResult(host);
  ASSERT_EQ(2u, replies.size());
  EXPECT_EQ(replies[0], json({{"id", 1}, {"action", "navigate"}, {"how", "assign"}, {"url", Origin() + "/portals"}}));
  EXPECT_EQ(replies[1]["result"], false);
  ASSERT_EQ(1u, watcher.Seen().size());
  MessageChoice choice = CertLoginMessage(kMsgCheckUsbKey, 3);
  EXPECT_EQ(MessageText(choice.entry), watcher.Seen()[0].text);
}

}  // namespace
}  // namespace vorlane::tests
