#include "launch/download/download_installer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "fake_internet.h"

namespace vorlane {
namespace {

using tests::FakeFiles;
using tests::FakeInternet;

struct FakeSurroundings final : InstallerFolders, ProgramLauncher, UserNotice, SignatureCheck, CancelToken {
  std::u16string temporary = u"C:\\Users\\u\\AppData\\Local\\Temp\\";
  bool foldersFail = false;
  int sweeps = 0, nextFolder = 1;
  std::vector<std::u16string> created, released, removed;
  std::vector<std::pair<std::u16string, std::u16string>> launched;
  std::string installerAtLaunch;
  bool sealedAtLaunch = false;
  FakeFiles* files = nullptr;
  std::vector<MessageChoice> notices;
  std::function<void()> duringLaunch;
  std::optional<SignerNames> signer;
  int signatureChecks = 0;
  bool cancelled = false;

  void RemoveEnded() override { ++sweeps; }
  std::u16string Create() override {
    if (foldersFail) return {};
    created.push_back(InstallerFolderPath(temporary, 7, static_cast<std::uint32_t>(nextFolder++)));
    return created.back();
  }
  void Release(const std::u16string& folder) override { released.push_back(folder); }
  void Remove(const std::u16string& folder) override {
    removed.push_back(folder);
    files->Delete(InstallerFilePath(folder).c_str());
  }
  int StartElevated(const char16_t* path, const char16_t* parameters) override {
    launched.emplace_back(path, parameters);
    installerAtLaunch = files->Contents(path);
    sealedAtLaunch = files->OnlySealed(path);
    if (duringLaunch) duringLaunch();
    return 1;
  }
  void Show(MessageChoice message) override { notices.push_back(message); }
  std::optional<SignerNames> TrustedSigner(FileHandle, const std::u16string&) override {
    ++signatureChecks;
    return signer;
  }
  bool Requested() override { return cancelled; }
};

class DownloadInstaller_ : public ::testing::Test {
 protected:
  DownloadInstaller_() {
    around.files = &files;
    net.clock = &clock;
    context.host = u"gw.example";
    context.port = 8443;
    std::u16string session = u"0123456789abcdef0123456789ABCDEF";
    std::copy(session.begin(), session.end(), context.session);
    context.type = 1;
  }
  DownloadOutcome Outcome() {
    return DownloadInstaller(context, policy, {net, files, around, around, around, clock, around, around});
  }
  bool Download() { return Outcome() == DownloadOutcome::kStarted; }
  void ExpectFailureShown() {
    EXPECT_TRUE(around.launched.empty());
    ASSERT_EQ(around.notices.size(), 1u);
    EXPECT_EQ(around.notices[0].entry, context.type);
    EXPECT_EQ(around.notices[0].slot, context.type);
  }
  // Nothing of a failed or cancelled download is left: file, folder, handles.
  void ExpectNothingLeft() {
    EXPECT_EQ(around.removed, around.created);
    EXPECT_TRUE(around.released.empty());
    EXPECT_EQ(files.files.count(installer), 0u);
    EXPECT_EQ(files.openCount, 0);
    EXPECT_TRUE(net.open.empty());
  }
  long long SecondsPassed() {
    return std::chrono::duration_cast<std::chrono::seconds>(clock.now - TransferTime{}).count();
  }

  FakeInternet net;
  FakeFiles files;
  tests::FakeClock clock;
  FakeSurroundings around;
  PortalContext context;
  DownloadPolicy policy;
  const std::u16string installer =
      u"C:\\Users\\u\\AppData\\Local\\Temp\\VorlaneInstaller.7.1\\UpdateInstaller.exe";
};

TEST_F(DownloadInstaller_, FetchesWithTheSessionCookieAndStartsTheCompleteInstaller) {
  net.body = std::string(50000, 'z');
  ASSERT_TRUE(Download());
  EXPECT_EQ(net.host, u"gw.example");
  EXPECT_EQ(net.port, 8443);
  EXPECT_EQ(net.method, u"GET");
  EXPECT_EQ(net.object, u"/sslvpn/client/UpdateInstaller.exe");
  EXPECT_EQ(net.requestFlags, 0x84A01000u);
  EXPECT_EQ(net.headers, u"Cookie: Varnex_SSLID=0123456789abcdef0123456789ABCDEF");
  ASSERT_EQ(around.launched.size(), 1u);
  EXPECT_EQ(around.launched[0].first, installer);
  EXPECT_EQ(around.launched[0].second,
            u"Options -server=gw.example -port=8443 -session=0123456789abcdef0123456789ABCDEF -type=1 /S");
  EXPECT_EQ(around.installerAtLaunch, net.body);
  EXPECT_TRUE(around.notices.empty());
  EXPECT_TRUE(net.open.empty());  // handles closed after success too
}

// From its last byte until the launch is handed over the file stays open,
// readable by others but not writable, and is let go of afterwards.
TEST_F(DownloadInstaller_, TheInstallerIsHeldSealedWhileItIsStarted) {
  ASSERT_TRUE(Download());
  EXPECT_TRUE(around.sealedAtLaunch);
  EXPECT_EQ(files.openCount, 0);
}

TEST_F(DownloadInstaller_, AnInstallerSomeoneElseOpenedForWritingIsNotStarted) {
  files.sealFails = true;
  EXPECT_FALSE(Download());
  ExpectFailureShown();
  EXPECT_EQ(files.openCount, 0);
}

// No turn holds a download back: a second one runs to its own launch while
// the first is still starting its installer, each from its own folder.
TEST_F(DownloadInstaller_, TwoDownloadsAtOnceEachStartTheirOwnWholeInstaller) {
  FakeInternet secondNet;
  secondNet.body = "second installer";
  net.body = "first installer";
  FakeSurroundings second;
  second.files = &files;
  second.nextFolder = 2;
  std::atomic<bool> secondDone{false};
  bool secondEndedDuringFirstLaunch = false;
  std::thread secondDownload;
  around.duringLaunch = [&] {
    secondDownload = std::thread([&] {
      DownloadInstaller(context, policy, {secondNet, files, second, second, second, clock, second, second});
      secondDone = true;
    });
    for (int i = 0; i < 200 && !secondDone; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    secondEndedDuringFirstLaunch = secondDone;
  };
  ASSERT_TRUE(Download());
  secondDownload.join();
  EXPECT_TRUE(secondEndedDuringFirstLaunch);
  EXPECT_EQ(around.installerAtLaunch, "first installer");
  ASSERT_EQ(second.launched.size(), 1u);
  EXPECT_NE(second.launched[0].first, around.launched[0].first);
  EXPECT_EQ(second.installerAtLaunch, "second installer");
  EXPECT_TRUE(second.sealedAtLaunch);
  EXPECT_TRUE(second.notices.empty());
  // Both folders stay for their installers; each download swept ended ones first.
  EXPECT_EQ(around.released, around.created);
  EXPECT_EQ(second.released, second.created);
  EXPECT_EQ(around.sweeps + second.sweeps, 2);
}

TEST_F(DownloadInstaller_, EmptySessionSendsAnEmptyCookieValue) {
  context.session[0] = u'\0';
  ASSERT_TRUE(Download());
  EXPECT_EQ(net.headers, u"Cookie: Varnex_SSLID=");
  EXPECT_EQ(around.launched[0].second, u"Options -server=gw.example -port=8443 -session= -type=1 /S");
}

TEST_F(DownloadInstaller_, LongHostReachesTheInstallerParametersWhole) {
  // A 255-character host still makes a valid URL; the parameters go past 511.
  context.host = std::u16string(255, u'h');
  std::u16string session(32, u's');
  std::copy(session.begin(), session.end(), context.session);
  net.body = "x";
  ASSERT_TRUE(Download());
  std::u16string expected = u"Options -server=" + context.host + u" -port=8443 -session=" + session + u" -type=1 /S";
  EXPECT_EQ(around.launched[0].second, expected);
}

TEST_F(DownloadInstaller_, HostThatBreaksTheUrlFailsWithoutNetworkTraffic) {
  for (std::u16string host : {std::u16string(u"bad host"), std::u16string(300, u'h'), std::u16string()}) {
    FakeInternet quiet;
    FakeSurroundings a;
    a.files = &files;
    context.host = host;
    EXPECT_EQ(DownloadInstaller(context, policy, {quiet, files, a, a, a, clock, a, a}), DownloadOutcome::kFailed);
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_EQ(a.notices.size(), 1u);
    EXPECT_TRUE(a.launched.empty());
  }
}

TEST_F(DownloadInstaller_, ErrorStatusStartsNothingAndLeavesNothing) {
  net.status = 404;
  net.body = "<html>not found</html>";
  EXPECT_EQ(Outcome(), DownloadOutcome::kFailed);
  ExpectFailureShown();
  ExpectNothingLeft();
}

TEST_F(DownloadInstaller_, TornBodyStartsNothingAndLeavesNothing) {
  net.body = std::string(40000, 'q');
  net.failReadAfter = 10240;
  EXPECT_FALSE(Download());
  ExpectFailureShown();
  ExpectNothingLeft();
  EXPECT_EQ(files.deleted.front(), installer);
}

// A body whose end cannot be told from a broken connection, or that is
// empty, is no installer; chunks end properly.
TEST_F(DownloadInstaller_, OnlyABodyWithAKnownEndCounts) {
  net.hasContentLength = false;
  EXPECT_FALSE(Download());
  net.chunked = true;
  EXPECT_TRUE(Download());
  EXPECT_EQ(around.installerAtLaunch, net.body);
  net.hasContentLength = true;
  net.chunked = false;
  net.body.clear();
  EXPECT_FALSE(Download());
  EXPECT_EQ(around.notices.size(), 2u);
  EXPECT_EQ(around.launched.size(), 1u);
}

TEST_F(DownloadInstaller_, AnnouncedBodyOverTheCapIsRefusedBeforeAnyFile) {
  net.announcedLength = static_cast<std::uint32_t>(kInstallerSizeCap + 1);
  EXPECT_FALSE(Download());
  ExpectFailureShown();
  EXPECT_EQ(files.Creates(), 0);
  ExpectNothingLeft();
}

TEST_F(DownloadInstaller_, NoPrivateFolderFailsWithoutNetworkTraffic) {
  around.foldersFail = true;
  EXPECT_FALSE(Download());
  around.foldersFail = false;
  around.temporary = std::u16string(230, u't');  // the installer path would not fit
  EXPECT_FALSE(Download());
  EXPECT_EQ(around.notices.size(), 2u);
  EXPECT_TRUE(net.calls.empty());
}

// A gateway that accepts and never answers holds the download for the stall
// limit, not longer; then the user is told.
TEST_F(DownloadInstaller_, SilentGatewayIsGivenUpAtTheStallLimit) {
  net.sendTakes = std::chrono::hours(24);
  EXPECT_EQ(Outcome(), DownloadOutcome::kFailed);
  EXPECT_EQ(SecondsPassed(), 60);
  EXPECT_EQ(net.limits, std::vector<WaitLimit>{std::chrono::seconds(60)});
  EXPECT_EQ(net.networkTimeout, 60000u);
  ExpectFailureShown();
  ExpectNothingLeft();
}

// One byte every 20 s never trips the stall limit; the deadline ends it, and
// no wait reaches past it.
TEST_F(DownloadInstaller_, TricklingGatewayIsCutAtTheDeadline) {
  net.body = std::string(1000, 'x');
  net.readChunk = 1;
  net.readTakes = std::chrono::seconds(20);
  EXPECT_FALSE(Download());
  EXPECT_EQ(SecondsPassed(), 600);
  // The 30th byte was waited for with what was left, 20 s; then nothing more.
  EXPECT_EQ(net.limits.back(), std::chrono::seconds(20));
  EXPECT_EQ(net.limits.size(), 31u);
  for (WaitLimit limit : net.limits) EXPECT_LE(limit, std::chrono::seconds(60));
  ExpectFailureShown();
  ExpectNothingLeft();
}

TEST_F(DownloadInstaller_, SlowButSteadyGatewayWithinTheBoundsIsWaitedFor) {
  policy.deadline = std::chrono::seconds(30);
  policy.stall = std::chrono::seconds(5);
  net.body = std::string(5, 'x');
  net.readChunk = 1;
  net.sendTakes = std::chrono::seconds(4);
  net.readTakes = std::chrono::seconds(4);
  ASSERT_TRUE(Download());
  EXPECT_EQ(SecondsPassed(), 24);
  EXPECT_EQ(around.installerAtLaunch, net.body);
}

// The control went away: the download stops without a word and leaves nothing.
TEST_F(DownloadInstaller_, CancelledDownloadStopsQuietly) {
  net.waitError = kErrorCancelled;
  EXPECT_EQ(Outcome(), DownloadOutcome::kCancelled);
  EXPECT_TRUE(around.notices.empty());
  EXPECT_TRUE(around.launched.empty());
  ExpectNothingLeft();

  // Cancelled once the body is in but before the start: nothing is started.
  net.waitError = 0;
  around.cancelled = true;
  around.created.clear();
  around.removed.clear();
  EXPECT_EQ(Outcome(), DownloadOutcome::kCancelled);
  EXPECT_TRUE(around.notices.empty());
  EXPECT_TRUE(around.launched.empty());
  ExpectNothingLeft();
}

TEST_F(DownloadInstaller_, VerifyGatewayKeepsTheCertificateChecks) {
  ASSERT_TRUE(Download());
  EXPECT_EQ(net.securityFlagsSet, 0x3188u);
  policy.verifyGateway = true;
  net = {};
  ASSERT_TRUE(Download());
  EXPECT_EQ(net.requestFlags, 0x84A00000u);
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "set-security"), 0);
}

TEST_F(DownloadInstaller_, InstallerPublisherStartsOnlyTheNamedSignersInstaller) {
  ASSERT_TRUE(Download());
  EXPECT_EQ(around.signatureChecks, 0);  // without the policy nothing is asked

  policy.installerPublisher = u"Corvanta Ltd";
  around.signer = SignerNames{u"corvanta ltd", u"CN=corvanta ltd, C=GB"};
  ASSERT_TRUE(Download());
  EXPECT_EQ(around.launched.size(), 2u);

  for (std::optional<SignerNames> signer :
       {std::optional<SignerNames>{SignerNames{u"Someone Else", u"CN=Someone Else"}}, std::optional<SignerNames>{}}) {
    around.signer = signer;
    around.created.clear();
    around.removed.clear();
    EXPECT_FALSE(Download());
    EXPECT_EQ(around.launched.size(), 2u);
    EXPECT_EQ(around.removed, around.created);  // the file went with its folder
    EXPECT_EQ(files.openCount, 0);
  }
  EXPECT_EQ(around.notices.size(), 2u);
}

TEST(InstallerFolder, IsNamedForTheProcessAndItsCountAndMustHoldTheInstallerPath) {
  EXPECT_EQ(InstallerFolderPath(u"C:\\Temp\\", 4242, 3), u"C:\\Temp\\VorlaneInstaller.4242.3\\");
  EXPECT_EQ(InstallerFolderPath(u"C:\\Temp", 1, 0), u"C:\\Temp\\VorlaneInstaller.1.0\\");
  EXPECT_EQ(InstallerFolderPath(u"", 1, 1), u"");
  EXPECT_EQ(InstallerFolderPath(std::u16string(210, u't'), 4294967295u, 4294967295u), u"");
  EXPECT_FALSE(InstallerFolderPath(std::u16string(200, u't'), 4294967295u, 4294967295u).empty());
}

TEST(InstallerPublisher, MatchesTheSimpleOrTheDistinguishedNameOnly) {
  SignerNames signer{u"Corvanta Ltd", u"CN=Corvanta Ltd, O=Corvanta Ltd, C=GB"};
  EXPECT_TRUE(PublisherMatches(signer, u" corvanta LTD "));
  EXPECT_TRUE(PublisherMatches(signer, u"CN=Corvanta Ltd, O=Corvanta Ltd, C=GB"));
  EXPECT_FALSE(PublisherMatches(signer, u"Corvanta"));
  EXPECT_FALSE(PublisherMatches(signer, u"CN=Corvanta Ltd"));
  EXPECT_FALSE(PublisherMatches(signer, u""));
  EXPECT_FALSE(PublisherMatches(SignerNames{}, u"  "));
}

TEST(InstallerStrings, UrlUsesTheSignedPortAndParametersTheUnsignedOne) {
  PortalContext context;
  context.host = u"h";
  context.port = -1;
  EXPECT_EQ(InstallerUrl(context), u"https://h:-1/sslvpn/client/UpdateInstaller.exe");
  EXPECT_EQ(InstallerParameters(context), u"Options -server=h -port=4294967295 -session= -type=0 /S");
}

}  // namespace
}  // namespace vorlane
