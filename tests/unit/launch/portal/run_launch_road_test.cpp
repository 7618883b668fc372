#include "launch/portal/run_launch_road.h"

#include <gtest/gtest.h>

#include "fake_launch_ports.h"
#include "fakes/fake_log_file.h"

namespace vorlane {
namespace {

using tests::FakeLaunchWorld;
using tests::FakeLogFile;
using tests::FakePage;
using tests::PortalPage;
using Calls = std::vector<std::string>;

// Captures the process log for one test.
class RunLaunchRoad_ : public ::testing::Test {
 protected:
  RunLaunchRoad_() {
    InstallProcessLog(&log_);
    OpenLog(kClientLogPath);
  }
  ~RunLaunchRoad_() override { InstallProcessLog(nullptr); }
  std::u16string LogText() { return file_.Text(kClientLogPath); }

  FakeLogFile file_;
  DiagnosticLog log_{file_};
  FakeLaunchWorld world;
  FakePage page = PortalPage();
  PortalContext context;
};

TEST_F(RunLaunchRoad_, InstalledUpdaterStartsWithTheContextThenThePoller) {
  world.updaterInstalled = true;
  page.port = u"8443";
  context.type = 1;
  EXPECT_TRUE(RunLaunchRoad(context, &page, world.Ports()));
  EXPECT_EQ(world.calls, (Calls{"launch", "poller"}));
  EXPECT_EQ(world.probed, std::vector<std::u16string>{u"C:\\Program Files (x86)\\Corvanta\\Update\\Update.exe"});
  EXPECT_EQ(world.launchedPath, u"C:\\Program Files (x86)\\Corvanta\\Update\\Update.exe");
  EXPECT_EQ(world.launchedParameters,
            u"-server gw.example -port 8443 -session 0123456789abcdef0123456789ABCDEF -type 1 ");
  EXPECT_EQ(LogText(), u"");
}

TEST_F(RunLaunchRoad_, MissingUpdaterLogsAndStartsTheDownloadWithTheReadContext) {
  EXPECT_TRUE(RunLaunchRoad(context, &page, world.Ports()));
  EXPECT_EQ(world.calls, (Calls{"download", "poller"}));
  ASSERT_EQ(world.downloads.size(), 1u);
  EXPECT_EQ(world.downloads[0].host, u"gw.example");
  EXPECT_EQ(world.downloads[0].port, 443);
  EXPECT_EQ(std::u16string(world.downloads[0].session), u"0123456789abcdef0123456789ABCDEF");
  EXPECT_EQ(LogText(), u"[INFOR][2014-07-09 15:04:05 123]create a new thread to download update.exe\r\n");
}

TEST_F(RunLaunchRoad_, UnresolvableProgramFilesFolderCountsAsNoUpdater) {
  world.folder.clear();
  world.updaterInstalled = true;
  EXPECT_TRUE(RunLaunchRoad(context, &page, world.Ports()));
  EXPECT_TRUE(world.probed.empty());
  EXPECT_EQ(world.calls.front(), "download");
}

TEST_F(RunLaunchRoad_, LongHostIsPassedWholeToTheUpdater) {
  world.updaterInstalled = true;
  page.hostname = std::u16string(300, u'h');
  EXPECT_TRUE(RunLaunchRoad(context, &page, world.Ports()));
  EXPECT_EQ(world.launchedParameters, u"-server " + std::u16string(300, u'h') +
                                          u" -port 443 -session 0123456789abcdef0123456789ABCDEF -type 0 ");
}

TEST_F(RunLaunchRoad_, PageWithoutCookieStringStartsTheUpdaterWithAnEmptySession) {
  world.updaterInstalled = true;
  page.cookie.reset();
  EXPECT_TRUE(RunLaunchRoad(context, &page, world.Ports()));
  EXPECT_EQ(world.launchedParameters, u"-server gw.example -port 443 -session  -type 0 ");
}

TEST_F(RunLaunchRoad_, AQuoteInTheSessionCookieCannotSwallowTheUpdatersTypeArgument) {
  world.updaterInstalled = true;
  page.cookie = u"Varnex_SSLID=0123\"456789abcdef0123456789ABCDEF";
  EXPECT_TRUE(RunLaunchRoad(context, &page, world.Ports()));
  EXPECT_EQ(world.launchedParameters, u"-server gw.example -port 443 -session 0123 -type 0 ");
}

TEST_F(RunLaunchRoad_, CookieWithoutMarkerShowsTheBoxInTheTypesLanguageAndStartsNothing) {
  for (std::uint16_t type : {0, 1}) {
    FakeLaunchWorld fresh;
    page.cookie = u"JSESSIONID=1";
    context.type = type;
    EXPECT_FALSE(RunLaunchRoad(context, &page, fresh.Ports()));
    EXPECT_EQ(fresh.calls, Calls{"box"});
    EXPECT_EQ(fresh.notices[0].entry, type);
    EXPECT_EQ(fresh.notices[0].slot, type);
  }
}

TEST_F(RunLaunchRoad_, HostThatIsNotAHostNameShowsTheBoxAndStartsNothing) {
  // "a@evil.example" would send the download to evil.example; blanks and
  // quotes would add arguments to the updater's elevated start.
  for (const char16_t* host : {u"a@evil.example", u"gw.example -type 9", u"gw\"x", u"", u"gw.example/x"}) {
    FakeLaunchWorld fresh;
    fresh.updaterInstalled = true;
    page.hostname = host;
    EXPECT_FALSE(RunLaunchRoad(context, &page, fresh.Ports()));
    EXPECT_EQ(fresh.calls, Calls{"box"});
    EXPECT_EQ(context.host, u"");
  }
}

TEST_F(RunLaunchRoad_, NonWindowObjectKeepsTheEarlierContext) {
  context.host = u"earlier";
  context.port = 10443;
  world.updaterInstalled = true;
  EXPECT_TRUE(RunLaunchRoad(context, nullptr, world.Ports()));
  EXPECT_EQ(world.launchedParameters, u"-server earlier -port 10443 -session  -type 0 ");
}

TEST(UpdaterPath, PathThatWouldNotFitCountsAsNoUpdater) {
  // The folder plus 27 characters of the updater's own path: 259 at most in all.
  EXPECT_EQ(UpdaterPath(std::u16string(233, u'f')), u"");
  EXPECT_EQ(UpdaterPath(std::u16string(232, u'f')).size(), 259u);
}

}  // namespace
}  // namespace vorlane
