// The gateway failing the certificate login's TLS handshake (Run with
// "type" 2): the user is told to check the USB key or certificate, in
// Chinese for type 2, and the page goes to the fallback address; everything
// runs inside Run, so the DLL can go at once afterwards.
#include "fault_row.h"
#include "login_certificates.h"
#include "login_gateway.h"
#include "personal_store.h"
#include "support/message_catalogue.h"

namespace vorlane::scenarios {
namespace {

constexpr char16_t kCheckUsbKeyChinese[] = u"请检查是否插入USB-Key或证书是否有效！";
// A handshake that breaks fails inside Run; only the box waits for the user.
constexpr std::chrono::milliseconds kHandshakeFailureBound = 10000ms;
constexpr std::chrono::milliseconds kNothingRunsBound = 1000ms;

class CertificateLoginFaults : public FaultRow {
 protected:
  void TearDown() override {
    FaultRow::TearDown();
    tests::EmptyPersonalStore();
  }

  // Run(window) with "type" 2 on the portal page of `port`.
  void ExpectHandshakeFailureTold(std::uint16_t port) {
    const std::u16string origin = u"https://127.0.0.1:" + Wide(std::to_string(port));
    tests::MessageBoxWatcher watcher;
    Embed(2);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(Run(origin + u"/portals/index.html", u"Varnex_SSLID=0123456789abcdef0123456789abcdef"));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_LT(took, kHandshakeFailureBound);
    std::vector<tests::SeenBox> boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kCheckUsbKeyChinese, boxes[0].text);
    EXPECT_EQ(MessageText(CertLoginMessage(kMsgCheckUsbKey, 2).entry), boxes[0].text);
    auto navigations = pages_.back().Navigations();
    ASSERT_EQ(1u, navigations.size());
    EXPECT_EQ(origin + u"/portals", navigations[0].url);
    Observed("told \"" + Narrow(boxes[0].text) + "\", Run false after " + std::to_string(took.count()) +
             " ms, page sent to " + Narrow(navigations[0].url));
    ExpectUnloadedWithin(kNothingRunsBound);
  }
};

TEST_F(CertificateLoginFaults, ResetMidHandshake) {
  gateway_.SetConnectionFault(tests::ConnectionFault::ResetInHandshake);
  ExpectHandshakeFailureTold(gateway_.Port());
  EXPECT_EQ(1, gateway_.FaultedConnections());
}

TEST_F(CertificateLoginFaults, CertificateRequestWithNoUsableKeyInTheStore) {
  ASSERT_TRUE(tests::EmptyPersonalStore());
  ASSERT_TRUE(tests::InstallCertificateWithoutKey(tests::TestLoginCertificates().user, L"vorlane-test-no-key"));
  ASSERT_EQ(1, tests::PersonalStoreCount());
  tests::LoginGateway login;
  login.SetClientCertificateMode(tests::ClientCertificateMode::Require);
  ASSERT_TRUE(login.Start());
  ExpectHandshakeFailureTold(login.Port());
  EXPECT_TRUE(login.Visits().empty());
  EXPECT_EQ(1, login.FailedHandshakes());
}

}  // namespace
}  // namespace vorlane::scenarios
