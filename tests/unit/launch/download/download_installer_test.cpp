#include "launch/download/download_installer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "fake_internet.h"

namespace vorlane {
namespace {

using tests::FakeFiles;
using tests::FakeInternet;

struct FakeSurroundings final : DownloadEnvironment, ProgramLauncher, UserNotice {
  std::u16string folder = u"C:\\Users\\u\\AppData\\Local\\Temp\\";
  std::vector<std::pair<std::u16string, std::u16string>> launched;
  std::string installerAtLaunch;
  bool sealedAtLaunch = false;
  FakeFiles* files = nullptr;
  std::vector<MessageChoice> notices;
  std::function<void()> duringLaunch;

  std::u16string TemporaryFolder() override { return folder; }
  int StartElevated(const char16_t* path, const char16_t* parameters) override {
    launched.emplace_back(path, parameters);
    installerAtLaunch = files->Contents(path);
    sealedAtLaunch = files->OnlySealed(path);
    if (duringLaunch) duringLaunch();
    return 1;
  }
  void Show(MessageChoice message) override { notices.push_back(message); }
};

class DownloadInstaller_ : public ::testing::Test {
 protected:
  DownloadInstaller_() {
    around.files = &files;
    context.host = u"gw.example";
    context.port = 8443;
    std::u16string session = u"0123456789abcdef0123456789ABCDEF";
    std::copy(session.begin(), session.end(), context.session);
    context.type = 1;
  }
  bool Download() { return DownloadInstaller(context, {net, files, around, around, around}); }
  void ExpectFailureShown() {
    EXPECT_TRUE(around.launched.empty());
    ASSERT_EQ(around.notices.size(), 1u);
    EXPECT_EQ(around.notices[0].entry, context.type);
    EXPECT_EQ(around.notices[0].slot, context.type);
  }

  FakeInternet net;
  FakeFiles files;
  FakeSurroundings around;
  PortalContext context;
  const std::u16string installer = u"C:\\Users\\u\\AppData\\Local\\Temp\\UpdateInstaller.exe";
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

// The second download waits for the first one's launch, then creates and
// starts its own whole installer under the same name.
TEST_F(DownloadInstaller_, TwoDownloadsAtOnceEachStartAWholeInstaller) {
  FakeInternet secondNet;
  secondNet.body = "second installer";
  net.body = "first installer";
  FakeSurroundings second;
  second.files = &files;
  bool secondCreatedDuringFirstLaunch = false;
  std::thread secondDownload;
  around.duringLaunch = [&] {
    int createsBefore = files.Creates();
    secondDownload = std::thread([&] { DownloadInstaller(context, {secondNet, files, second, second, second}); });
    // Without the turn the second one would create the file now (failing,
    // or truncating the installer being started).
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    secondCreatedDuringFirstLaunch = files.Creates() != createsBefore;
  };
  ASSERT_TRUE(Download());
  secondDownload.join();
  EXPECT_FALSE(secondCreatedDuringFirstLaunch);
  EXPECT_EQ(around.installerAtLaunch, "first installer");
  ASSERT_EQ(second.launched.size(), 1u);
  EXPECT_EQ(second.launched[0].first, installer);
  EXPECT_EQ(second.installerAtLaunch, "second installer");
  EXPECT_TRUE(second.sealedAtLaunch);
  EXPECT_TRUE(second.notices.empty());
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
    EXPECT_FALSE(DownloadInstaller(context, {quiet, files, a, a, a}));
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_EQ(a.notices.size(), 1u);
    EXPECT_TRUE(a.launched.empty());
  }
}

// A refused reply is turned down before the file is touched: an installer
// left by an earlier download keeps its bytes, none of the error page's.
TEST_F(DownloadInstaller_, ErrorStatusStartsNothingAndLeavesAnEarlierInstallerAsItWas) {
  files.files[installer] = "earlier installer";
  net.status = 404;
  net.body = "<html>not found</html>";
  EXPECT_FALSE(Download());
  ExpectFailureShown();
  EXPECT_EQ(files.Contents(installer), "earlier installer");
  EXPECT_EQ(files.openCount, 0);
}

// A torn body has already replaced the earlier installer; what it wrote is
// deleted, so no part of an installer is left to start.
TEST_F(DownloadInstaller_, TornBodyStartsNothingAndLeavesNoFile) {
  files.files[installer] = "earlier installer";
  net.body = std::string(40000, 'q');
  net.failReadAfter = 10240;
  EXPECT_FALSE(Download());
  ExpectFailureShown();
  EXPECT_EQ(files.files.count(installer), 0u);
  EXPECT_EQ(files.deleted, std::vector<std::u16string>{installer});
  EXPECT_EQ(files.openCount, 0);
}

TEST_F(DownloadInstaller_, InstallerHeldByAnotherProgramIsNotDeleted) {
  files.locked.insert(installer);
  files.files[installer] = "theirs";
  context.type = 0;
  EXPECT_FALSE(Download());
  ExpectFailureShown();
  EXPECT_EQ(files.files[installer], "theirs");
}

TEST_F(DownloadInstaller_, NoTemporaryFolderOrAnOverlongOneFails) {
  around.folder.clear();
  EXPECT_FALSE(Download());
  around.folder = std::u16string(250, u't');
  EXPECT_FALSE(Download());
  EXPECT_EQ(around.notices.size(), 2u);
  EXPECT_TRUE(net.calls.empty());
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
