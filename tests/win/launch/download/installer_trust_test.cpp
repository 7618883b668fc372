// The administrator's two checks on the download under Wine: the installer's
// publisher (signed with osslsigncode by a test certificate, trusted or not)
// and the gateway's certificate (the simulator's, trusted or not).
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstring>

#include <openssl/x509.h>

#include "common/child_process.h"
#include "common/message_box_watcher.h"
#include "common/test_files.h"
#include "download_test_support.h"
#include "gateway_simulator.h"
#include "launch/download/win32/installer_download_thread.h"
#include "self_signed_certificate.h"
#include "support/message_catalogue.h"

namespace vorlane {
namespace {

std::string Der(const std::string& pem) {
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) return {};
  std::string der(size, '\0');
  CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(der.data()), &size, nullptr,
                       nullptr);
  return der;
}

std::string GatewayCertificateDer() {
  X509* certificate = tests::LoopbackCertificate().certificate;
  int length = i2d_X509(certificate, nullptr);
  if (length <= 0) return {};
  std::string der(static_cast<std::size_t>(length), '\0');
  auto* out = reinterpret_cast<unsigned char*>(der.data());
  i2d_X509(certificate, &out);
  return der;
}

// A certificate in the machine's trusted roots for the scope's life.
class TrustedRoot {
 public:
  explicit TrustedRoot(const std::string& der) : der_(der) {
    added_ = !der.empty() && CertAddEncodedCertificateToSystemStoreW(
                                 L"Root", reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
  }
  ~TrustedRoot() {
    HCERTSTORE root = CertOpenSystemStoreW(0, L"Root");
    if (root == nullptr) return;
    // Enumeration does not go on past a deletion: each copy is sought anew.
    for (bool deleted = true; deleted;) {
      deleted = false;
      PCCERT_CONTEXT found = nullptr;
      while ((found = CertEnumCertificatesInStore(root, found)) != nullptr) {
        if (found->cbCertEncoded == der_.size() && std::memcmp(found->pbCertEncoded, der_.data(), der_.size()) == 0) {
          CertDeleteCertificateFromStore(found);  // frees found
          deleted = true;
          break;
        }
      }
    }
    CertCloseStore(root, 0);
  }
  bool Added() const { return added_; }

 private:
  std::string der_;
  bool added_ = false;
};

class InstallerTrust : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway.Start());
    tests::RemoveInstallerFolders();
    tests::TakeLaunches();
    context.host = u"127.0.0.1";
    context.port = gateway.Port();
    publisherRoot = Der(tests::ReadFileBytes(tests::ProgramFolder() + u"test_publisher.pem"));
    ASSERT_FALSE(publisherRoot.empty());
  }
  // True when the download started the installer; false when it told the
  // user (once) and left nothing behind.
  bool Downloads() {
    tests::MessageBoxWatcher watcher;
    EXPECT_TRUE(StartInstallerDownload(context, policy, tests::RecordingLauncher));
    EXPECT_TRUE(tests::WaitForDownloadThreads());
    std::size_t started = tests::TakeLaunches().size();
    if (started == 1) {
      EXPECT_TRUE(watcher.Seen().empty());
      return true;
    }
    EXPECT_EQ(started, 0u);
    EXPECT_EQ(watcher.Seen().size(), 1u);
    EXPECT_TRUE(tests::InstallerFolders().empty()) << "the refused installer was left on disk";
    return false;
  }
  void Serve(const std::u16string& program) { ASSERT_TRUE(gateway.ServeInstallerFile(tests::ProgramFolder() + program)); }

  tests::GatewaySimulator gateway;
  PortalContext context;
  DownloadPolicy policy;
  std::string publisherRoot;
};

TEST_F(InstallerTrust, InstallerPublisherStartsOnlyTheNamedPublishersTrustedInstaller) {
  Serve(u"publisher_signed_installer.exe");
  EXPECT_TRUE(Downloads()) << "without the policy nothing is checked";
  policy.installerPublisher = u"Vorlane Test Publisher";
  EXPECT_FALSE(Downloads()) << "signed, but its root is not trusted";
  TrustedRoot trusted(publisherRoot);
  ASSERT_TRUE(trusted.Added());
  EXPECT_TRUE(Downloads());
  policy.installerPublisher = u"CN=Vorlane Test Publisher, O=Vorlane Tests";
  EXPECT_TRUE(Downloads()) << "the whole subject names it too";
  policy.installerPublisher = u"Someone Else";
  EXPECT_FALSE(Downloads()) << "a trusted signer, but not the one named";
}

TEST_F(InstallerTrust, InstallerPublisherRefusesAnUnsignedOrOtherwiseSignedInstaller) {
  TrustedRoot trusted(publisherRoot);
  policy.installerPublisher = u"Vorlane Test Publisher";
  Serve(u"fake_installer.exe");
  EXPECT_FALSE(Downloads());
  Serve(u"other_signed_installer.exe");
  EXPECT_FALSE(Downloads());
  // Signed by the publisher, then changed: the digest no longer matches.
  std::string tampered = tests::ReadFileBytes(tests::ProgramFolder() + u"publisher_signed_installer.exe");
  ASSERT_GT(tampered.size(), 1024u);
  tampered[600] ^= 0x55;
  gateway.ServeInstaller(tampered);
  EXPECT_FALSE(Downloads());
}

// The two halves of the gateway check, each run by the test below in a
// process of its own: WinINet's certificate chains (under Wine) come from
// an engine that reads the trusted roots once per process.
TEST_F(InstallerTrust, DISABLED_VerifyGatewayWithItsRootUntrusted) {
  Serve(u"fake_installer.exe");
  EXPECT_TRUE(Downloads()) << "without the policy any certificate is accepted";
  policy.verifyGateway = true;
  EXPECT_FALSE(Downloads()) << "self-signed, not trusted";
}

TEST_F(InstallerTrust, DISABLED_VerifyGatewayWithItsRootTrusted) {
  Serve(u"fake_installer.exe");
  TrustedRoot trusted(GatewayCertificateDer());
  ASSERT_TRUE(trusted.Added());
  policy.verifyGateway = true;
  EXPECT_TRUE(Downloads());
  context.host = u"localhost";  // the certificate names 127.0.0.1
  EXPECT_FALSE(Downloads()) << "trusted, but not the gateway's name";
}

TEST(InstallerTrustGateway, VerifyGatewayRefusesAnUntrustedOrWronglyNamedGateway) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  for (const char16_t* half : {u"DISABLED_VerifyGatewayWithItsRootUntrusted", u"DISABLED_VerifyGatewayWithItsRootTrusted"}) {
    std::u16string command = u"\"" + std::u16string(reinterpret_cast<const char16_t*>(self)) +
                             u"\" --gtest_also_run_disabled_tests --gtest_filter=InstallerTrust." + half;
    tests::ProgramRun run = tests::RunAndCapture(command, 120000);
    std::string output;
    for (const std::string& line : run.lines) output += line + "\n";
    EXPECT_EQ(run.exitCode, 0u) << tests::Utf8(half) << "\n" << output;
  }
}

}  // namespace
}  // namespace vorlane
