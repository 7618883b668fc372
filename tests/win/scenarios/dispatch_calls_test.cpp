// RunCmd, Close and ResetUrl as page script calls them, through the control's
// IDispatch, starting the recording fake programs for real.
#include <gmock/gmock.h>

#include "local_client/local_client_simulator.h"
#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

class DispatchCalls : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    Embed();
  }
  bool RunCmd(const std::u16string& command, bool wait) {
    std::vector<vorlane::Variant> args;
    args.push_back(vorlane::Variant::Text(command));
    args.push_back(Bool(wait));
    host::CallResult result = Call(u"RunCmd", std::move(args));
    EXPECT_EQ(S_OK, result.hr);
    EXPECT_EQ(VT_BOOL, V_VT(result.value.Get()));
    return V_BOOL(result.value.Get()) == VARIANT_TRUE;
  }
  bool ResetUrl() {
    host::CallResult result = Call(u"ResetUrl");
    EXPECT_EQ(S_OK, result.hr);
    return V_VT(result.value.Get()) == VT_BOOL && V_BOOL(result.value.Get()) == VARIANT_TRUE;
  }
  static std::u16string Sleeper(const std::u16string& rest) {
    std::u16string command(1, u'"');
    command += tests::FakeProgramsFolder();
    command += u"sleeper.exe\" sleep ";
    return command + rest;
  }
};

TEST_F(DispatchCalls, RunCmdWithWaitReturnsOnlyAfterTheProgramEnded) {
  // The sleeper records as it ends: a record there on return proves the wait.
  ASSERT_TRUE(RunCmd(Sleeper(u"400 waited"), true));
  EXPECT_THAT(Recorded(), ElementsAre(EndsWith("sleep 400 waited")));
}

TEST_F(DispatchCalls, RunCmdWithoutWaitReturnsWhileTheProgramRuns) {
  ASSERT_TRUE(RunCmd(Sleeper(u"2000 later"), false));
  EXPECT_TRUE(Recorded().empty());
  EXPECT_THAT(Recorded(1, 15s), ElementsAre(EndsWith("sleep 2000 later")));
}

TEST_F(DispatchCalls, RunCmdOfAMissingProgramIsFalse) {
  EXPECT_FALSE(RunCmd(u"C:\\nowhere\\nothing.exe", false));
  EXPECT_FALSE(RunCmd(u"C:\\nowhere\\nothing.exe", true));
  EXPECT_FALSE(RunCmd(u"", true));
}

TEST_F(DispatchCalls, RunCmdPassesACommandLongerThanAPathWhole) {
  std::u16string command = Sleeper(u"0 " + std::u16string(400, u'y') + u" end");
  ASSERT_GT(command.size(), 259u);
  ASSERT_TRUE(RunCmd(command, true));
  EXPECT_THAT(Recorded(), ElementsAre(std::string(command.begin(), command.end())));
}

TEST_F(DispatchCalls, CloseZeroStartsTheInstalledClientWithClose) {
  InstalledProgram client(u"SSLVPN Client", u"sslvpn-client.exe");
  ASSERT_TRUE(client.installed());
  ASSERT_TRUE(Close(0));
  auto lines = Recorded(1, 15s);
  ASSERT_EQ(1u, lines.size());
  EXPECT_THAT(lines[0], HasSubstr("Corvanta\\SSLVPN Client\\sslvpn-client.exe"));
  EXPECT_THAT(lines[0], EndsWith(" close"));
}

TEST_F(DispatchCalls, CloseZeroWithoutTheClientAndCloseTwoStartNothing) {
  ASSERT_TRUE(Close(0));
  ASSERT_TRUE(Close(2));
  // A program started by mistake would record within this bound.
  EXPECT_TRUE(Recorded(1, 1500ms).empty());
}

TEST_F(DispatchCalls, ResetUrlIsTrueOnceAfterTheClientSetsItsEvent) {
  EXPECT_FALSE(ResetUrl());
  HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent");
  ASSERT_NE(nullptr, event) << "the control makes the named event when it is created";
  ASSERT_TRUE(SetEvent(event));
  EXPECT_TRUE(ResetUrl());
  EXPECT_FALSE(ResetUrl());
  CloseHandle(event);
}

}  // namespace
}  // namespace vorlane::scenarios
