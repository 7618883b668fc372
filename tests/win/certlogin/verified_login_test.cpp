// The login with the gateway check on, as the policy's caller runs it: the
// login's own Windows code in this process, the page host's fake page as the
// portal's window, the login endpoint's certificate issued by the test CA.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include "certlogin/win32/platform_certificate_login.h"
#include "common/message_box_watcher.h"
#include "fake_page.h"
#include "login_certificates.h"
#include "login_gateway.h"
#include "page/win32/html_page.h"
#include "personal_store.h"
#include "support/message_catalogue.h"

namespace vorlane::scenarios {
namespace {

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// The test CA among the machine's trusted roots while it lives.
class TrustedTestRoot {
 public:
  TrustedTestRoot() {
    der_ = tests::DerBytes(tests::TestLoginCertificates().authority.certificate);
    added_ = CertAddEncodedCertificateToSystemStoreW(L"Root", Bytes(), static_cast<DWORD>(der_.size()));
  }
  ~TrustedTestRoot() {
    HCERTSTORE root = CertOpenSystemStoreW(0, L"Root");
    if (!root) return;
    PCCERT_CONTEXT made = CertCreateCertificateContext(X509_ASN_ENCODING, Bytes(), static_cast<DWORD>(der_.size()));
    PCCERT_CONTEXT found =
        made ? CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, made, nullptr) : nullptr;
    if (found) CertDeleteCertificateFromStore(found);  // frees `found`
    if (made) CertFreeCertificateContext(made);
    CertCloseStore(root, 0);
  }
  bool added() const { return added_; }

 private:
  const BYTE* Bytes() const { return reinterpret_cast<const BYTE*>(der_.data()); }
  std::string der_;
  bool added_ = false;
};

class VerifiedLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tests::EmptyPersonalStore());
    ASSERT_TRUE(tests::InstallClientCertificate(tests::TestLoginCertificates().user, L"vorlane-test-user"));
    ASSERT_TRUE(gateway_.Start());
    gateway_.Script(tests::RedirectReply("/portal/home"));
  }
  void TearDown() override {
    gateway_.Stop();
    // Later suites' programs make a user of the same names with keys of their
    // own: a certificate of ours left in the store could be offered instead.
    tests::EmptyPersonalStore();
    CoUninitialize();
  }

  struct Attempt {
    std::vector<host::Navigation> navigations;
    std::vector<tests::SeenBox> boxes;
  };

  Attempt Login(const std::string& hostName, LoginOptions options) {
    Attempt attempt;
    tests::MessageBoxWatcher watcher;
    std::string origin = "https://" + hostName + ":" + std::to_string(gateway_.Port());
    auto page = host::FakePage::Make(Wide(origin + "/portals/index.html"),
                                     u"Varnex_SSLID=0123456789abcdef0123456789abcdef");
    EXPECT_TRUE(page);
    if (!page) return attempt;
    std::unique_ptr<Page> html = OpenHtmlPage(page->window().Get(), HtmlObject::kWindow);
    CertificateLoginWithPlatform(html.get(), 3, options);
    attempt.navigations = page->Navigations();
    attempt.boxes = watcher.Seen();
    return attempt;
  }

  void ExpectConnectionFailure(const Attempt& attempt, const std::string& hostName) {
    ASSERT_EQ(1u, attempt.boxes.size());
    EXPECT_EQ(MessageText(CertLoginMessage(kMsgConnectServerFailed, 3).entry), attempt.boxes[0].text);
    ASSERT_EQ(1u, attempt.navigations.size());
    EXPECT_EQ(Wide("https://" + hostName + ":" + std::to_string(gateway_.Port()) + "/portals"),
              attempt.navigations[0].url);
  }

  // Requests that reached the gateway: a handshake alone records an empty one.
  std::size_t Requests() const {
    std::size_t count = 0;
    for (const tests::LoginVisit& visit : gateway_.Visits()) count += visit.request.empty() ? 0 : 1;
    return count;
  }

  tests::LoginGateway gateway_;
};

TEST_F(VerifiedLoginTest, AGatewayWhoseRootTheMachineDoesNotTrustIsRefusedBeforeAnythingIsSent) {
  ExpectConnectionFailure(Login("127.0.0.1", LoginOptions{true}), "127.0.0.1");
  EXPECT_EQ(0u, Requests());
  // The same gateway without the check: the login goes through.
  Attempt unchecked = Login("127.0.0.1", LoginOptions{});
  EXPECT_TRUE(unchecked.boxes.empty());
  ASSERT_EQ(1u, unchecked.navigations.size());
  EXPECT_EQ(u"/portal/home", unchecked.navigations[0].url);
}

TEST_F(VerifiedLoginTest, ATrustedRootLetsTheGatewayOfThatNameThroughAndNoOther) {
  TrustedTestRoot root;
  ASSERT_TRUE(root.added());
  Attempt trusted = Login("127.0.0.1", LoginOptions{true});
  EXPECT_TRUE(trusted.boxes.empty());
  ASSERT_EQ(1u, trusted.navigations.size());
  EXPECT_EQ(u"/portal/home", trusted.navigations[0].url);
  EXPECT_EQ(1u, Requests());
  // A name that does not resolve goes to 127.0.0.1 too, where the
  // certificate names another host.
  ExpectConnectionFailure(Login("gw.invalid", LoginOptions{true}), "gw.invalid");
  EXPECT_EQ(1u, Requests());
}

}  // namespace
}  // namespace vorlane::scenarios
