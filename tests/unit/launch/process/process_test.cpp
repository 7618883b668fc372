#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "launch/process/close_client.h"
#include "launch/process/start_elevated.h"
#include "launch/process/run_command.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Started {
  std::u16string how, what, parameters;
  bool wait = false;
  bool operator==(const Started&) const = default;
};

class FakeProcesses final : public ProcessPort {
 public:
  unsigned WindowsMajorVersion() override { return major; }
  bool RunAs(const char16_t* path, const char16_t* parameters) override {
    started.push_back({u"runas", path, parameters});
    return works;
  }
  bool StartProcess(std::u16string commandLine, bool wait) override {
    started.push_back({u"create", commandLine, u"", wait});
    return works;
  }
  unsigned major = 10;
  bool works = true;
  std::vector<Started> started;
};

TEST(StartElevated, AsksForElevationFromVistaOnAndStartsPlainlyBefore) {
  FakeProcesses processes;
  for (unsigned major : {6u, 10u, 5u, 0u}) {
    processes.major = major;
    EXPECT_EQ(StartElevated(processes, u"C:\\a b\\Update.exe", u"-server h "), 1);
  }
  EXPECT_THAT(processes.started,
              ElementsAre(Started{u"runas", u"C:\\a b\\Update.exe", u"-server h "},
                          Started{u"runas", u"C:\\a b\\Update.exe", u"-server h "},
                          Started{u"create", u"C:\\a b\\Update.exe -server h ", u""},
                          Started{u"create", u"C:\\a b\\Update.exe -server h ", u""}));
}

TEST(StartElevated, NullParametersCountAsEmpty) {
  FakeProcesses processes;
  StartElevated(processes, u"x.exe", nullptr);
  processes.major = 5;
  StartElevated(processes, u"x.exe", nullptr);
  EXPECT_THAT(processes.started, ElementsAre(Started{u"runas", u"x.exe", u""},
                                             Started{u"create", u"x.exe ", u""}));
}

TEST(StartElevated, ReportsAProgramThatDidNotStartAsZero) {
  FakeProcesses processes;
  processes.works = false;
  EXPECT_EQ(StartElevated(processes, u"x.exe", u""), 0);
  processes.major = 5;
  EXPECT_EQ(StartElevated(processes, u"x.exe", u""), 0);
}

TEST(StartElevated, PassesALongCommandLineWholeBeforeVista) {
  FakeProcesses processes;
  processes.major = 5;
  std::u16string path(300, u'p'), parameters(400, u'q');
  StartElevated(processes, path.c_str(), parameters.c_str());
  ASSERT_EQ(processes.started.size(), 1u);
  EXPECT_EQ(processes.started[0].what, path + u" " + parameters);
}

TEST(RunCmd, StartsTheCommandWholeWaitingOnlyWhenAsked) {
  FakeProcesses processes;
  std::u16string longCommand = u"cmd.exe /c echo " + std::u16string(300, u'x');
  EXPECT_TRUE(RunCmd(processes, longCommand.c_str(), false));
  EXPECT_TRUE(RunCmd(processes, u"notepad.exe", true));
  EXPECT_TRUE(RunCmd(processes, nullptr, false));
  EXPECT_THAT(processes.started, ElementsAre(Started{u"create", longCommand, u"", false},
                                             Started{u"create", u"notepad.exe", u"", true},
                                             Started{u"create", u"", u"", false}));
  processes.works = false;
  EXPECT_FALSE(RunCmd(processes, u"missing.exe", true));
}

class FakeClient final : public ProgramFilesPort {
 public:
  std::u16string ProgramFilesX86() override { return folder; }
  bool FileExists(const char16_t* path) override {
    asked.push_back(path);
    return installed;
  }
  std::u16string folder = u"C:\\Program Files (x86)";
  bool installed = true;
  std::vector<std::u16string> asked;
};

// Stopping the status relay after every flag is the control's part.
class CloseClientTest : public ::testing::Test {
 protected:
  void Close(std::int16_t flag) { pageOffs += CloseClient(flag, client, processes) ? 1 : 0; }

  FakeClient client;
  FakeProcesses processes;
  int pageOffs = 0;
};

TEST_F(CloseClientTest, FlagZeroStartsTheInstalledClientWithClose) {
  Close(0);
  const std::u16string program = u"C:\\Program Files (x86)\\Corvanta\\SSLVPN Client\\sslvpn-client.exe";
  EXPECT_THAT(client.asked, ElementsAre(program));
  EXPECT_THAT(processes.started, ElementsAre(Started{u"runas", program, u"close"}));
  EXPECT_EQ(pageOffs, 0);
}

TEST_F(CloseClientTest, FlagZeroWithoutTheClientInstalledStartsNothing) {
  client.installed = false;
  Close(0);
  EXPECT_THAT(processes.started, IsEmpty());
}

TEST_F(CloseClientTest, AClientPathThatWouldNotFitIsNeverCutIntoAnotherFile) {
  client.folder = u"C:\\" + std::u16string(250, u'f');
  Close(0);
  EXPECT_THAT(client.asked, IsEmpty());
  EXPECT_THAT(processes.started, IsEmpty());
  // 41 characters follow the folder; 259 in all still fit with the NUL.
  EXPECT_EQ(ClientProgramPath(std::u16string(218, u'f')).size(), 259u);
  EXPECT_TRUE(ClientProgramPath(std::u16string(219, u'f')).empty());
}

TEST_F(CloseClientTest, FlagOneAsksForPageOffAndOtherFlagsDoNothingHere) {
  Close(1);
  EXPECT_EQ(pageOffs, 1);
  for (std::int16_t flag : {2, -1, 300}) Close(flag);
  EXPECT_EQ(pageOffs, 1);
  EXPECT_THAT(processes.started, IsEmpty());
  EXPECT_THAT(client.asked, IsEmpty());
}

TEST_F(CloseClientTest, ASecondCloseRepeatsItsStep) {
  Close(1);
  Close(1);
  EXPECT_EQ(pageOffs, 2);
}

}  // namespace
}  // namespace vorlane
