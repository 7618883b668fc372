// Starting programs for real under Wine (which elevates without asking) and
// stopping the client, with the recording fake client programs.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "common/test_files.h"
#include "launch/process/close_client.h"
#include "launch/process/start_elevated.h"
#include "launch/process/run_command.h"
#include "launch/process/win32/reset_url.h"
#include "launch/process/win32/win32_process_port.h"
#include "local_client/local_client_simulator.h"
#include "status/win32/win32_poller_thread.h"
#include "support/win32/wide_text.h"
#include "support/win32/win32_program_files.h"
#include "test_text.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using tests::FakeProgramsFolder;
using tests::LocalClientSimulator;
using tests::Narrow;
using tests::ReadFileBytes;

class ProcessControlWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    auto name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    record = reinterpret_cast<const char16_t*>(temp) + std::u16string(name, name + std::strlen(name)) + u".txt";
    tests::DeleteFileAt(record);
    SetEnvironmentVariableW(AsWide(tests::kCommandRecordVariable), AsWide(record));
  }
  // The recorded command lines, once `count` are there or after `limit`.
  std::vector<std::string> Recorded(std::size_t count, std::chrono::milliseconds limit = 10s) {
    auto end = std::chrono::steady_clock::now() + limit;
    std::vector<std::string> lines;
    for (;;) {
      lines.clear();
      std::string bytes = ReadFileBytes(record);
      for (std::size_t start = 0, nl; (nl = bytes.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(bytes.substr(start, nl - start));
      if (lines.size() >= count || std::chrono::steady_clock::now() >= end) return lines;
      std::this_thread::sleep_for(50ms);
    }
  }
  std::u16string Program(const char16_t* name) { return FakeProgramsFolder() + name; }

  Win32ProcessPort processes;
  Win32ProgramFiles programFiles;
  // The sleeper's quoted path and "sleep ", ready for a pause and more words.
  std::u16string SleeperCommand() {
    std::u16string command(1, u'"');
    command += Program(u"sleeper.exe");
    command += u"\" sleep ";
    return command;
  }

  std::u16string record;
};

TEST_F(ProcessControlWinTest, TheLauncherStartsTheProgramElevatedWithItsParameters) {
  std::u16string program = Program(u"Update.exe");
  EXPECT_EQ(StartElevated(processes, program.c_str(), u"-server gw.example -port 443 -session abc -type 0 "), 1);
  auto lines = Recorded(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("Update.exe"));
  EXPECT_THAT(lines[0], EndsWith("-server gw.example -port 443 -session abc -type 0 "));
}

TEST_F(ProcessControlWinTest, TheLauncherReportsAMissingProgramAsZero) {
  std::u16string missing = FakeProgramsFolder() + u"absent.exe";
  EXPECT_EQ(StartElevated(processes, missing.c_str(), nullptr), 0);
}

TEST_F(ProcessControlWinTest, RunCmdWaitsForTheProgramOnlyWhenAsked) {
  std::u16string sleeper = SleeperCommand();
  ASSERT_TRUE(RunCmd(processes, (sleeper + u"300 waited").c_str(), true));
  // The program records as it ends, so the record is there on return.
  EXPECT_THAT(Recorded(1, 0ms), ElementsAre(EndsWith("sleep 300 waited")));

  ASSERT_TRUE(RunCmd(processes, (sleeper + u"3000 not-waited").c_str(), false));
  EXPECT_EQ(Recorded(2, 0ms).size(), 1u);
  EXPECT_THAT(Recorded(2), ElementsAre(EndsWith("waited"), EndsWith("sleep 3000 not-waited")));
}

TEST_F(ProcessControlWinTest, RunCmdPassesALongCommandWhole) {
  std::u16string command = SleeperCommand() + u"0 " + std::u16string(300, u'x') + u" end";
  ASSERT_GT(command.size(), 259u);
  ASSERT_TRUE(RunCmd(processes, command.c_str(), true));
  EXPECT_THAT(Recorded(1, 0ms), ElementsAre(Narrow(command)));
}

TEST_F(ProcessControlWinTest, RunCmdWithNoProgramIsFalse) {
  EXPECT_FALSE(RunCmd(processes, u"C:\\nowhere\\nothing.exe", false));
  EXPECT_FALSE(RunCmd(processes, u"", false));
  EXPECT_FALSE(RunCmd(processes, nullptr, true));
}

TEST_F(ProcessControlWinTest, ResetUrlAnswersTrueOnceAfterTheClientSignals) {
  const wchar_t* name = L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent";
  HANDLE control = CreateEventW(nullptr, TRUE, FALSE, name);
  ASSERT_NE(control, nullptr);
  EXPECT_FALSE(ResetUrl(control));
  HANDLE client = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
  ASSERT_NE(client, nullptr);
  SetEvent(client);
  EXPECT_TRUE(ResetUrl(control));
  EXPECT_FALSE(ResetUrl(control));
  EXPECT_FALSE(ResetUrl(nullptr));
  CloseHandle(client);
  CloseHandle(control);
}

// Close with a poller running against the simulator: the client's side, then
// the status relay's steps, as the control takes them.
class CloseClientWinTest : public ProcessControlWinTest {
 protected:
  void SetUp() override {
    ProcessControlWinTest::SetUp();
    ASSERT_TRUE(client.Start());
    auto thread = StartStatusPoller(state);
    ASSERT_NE(thread, nullptr);
    DuplicateHandle(GetCurrentProcess(), thread->NativeHandle(), GetCurrentProcess(), &threadHandle,
                    0, FALSE, DUPLICATE_SAME_ACCESS);
    poller = std::move(thread);
    // No window: the replies are lost, as with a control not yet shown.
    ASSERT_TRUE(client.WaitForMessages(1, 10s));
  }
  void TearDown() override {
    if (poller) Close(2);
    if (threadHandle) {
      WaitForSingleObject(threadHandle, 10000);
      CloseHandle(threadHandle);
    }
    client.Stop();
  }
  void Close(std::int16_t flag) {
    if (CloseClient(flag, programFiles, processes)) SendPageOff();
    StopPoller(*state, poller);
  }
  bool PollerEnded() { return WaitForSingleObject(threadHandle, 3000) == WAIT_OBJECT_0; }

  void InstallClientProgram(bool installed) {
    std::u16string folder = programFiles.ProgramFilesX86() + u"\\Corvanta";
    CreateDirectoryW(AsWide(folder), nullptr);
    folder += u"\\SSLVPN Client";
    CreateDirectoryW(AsWide(folder), nullptr);
    installedProgram = folder + u"\\sslvpn-client.exe";
    if (installed)
      ASSERT_TRUE(CopyFileW(AsWide(Program(u"sslvpn-client.exe")), AsWide(installedProgram), FALSE));
    else
      DeleteFileW(AsWide(installedProgram));
  }

  LocalClientSimulator client;
  std::shared_ptr<PollerState> state = std::make_shared<PollerState>();
  PollerThreadSlot poller;
  HANDLE threadHandle = nullptr;
  std::u16string installedProgram;
};

TEST_F(CloseClientWinTest, FlagZeroStartsTheInstalledClientWithCloseAndStopsThePoller) {
  InstallClientProgram(true);
  Close(0);
  EXPECT_EQ(poller, nullptr);
  EXPECT_TRUE(PollerEnded());
  auto lines = Recorded(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("sslvpn-client.exe"));
  EXPECT_THAT(lines[0], EndsWith(" close"));
}

TEST_F(CloseClientWinTest, FlagZeroWithoutTheClientStartsNothingAndStillStopsThePoller) {
  InstallClientProgram(false);
  Close(0);
  EXPECT_TRUE(PollerEnded());
  EXPECT_TRUE(Recorded(1, 1s).empty());
}

TEST_F(CloseClientWinTest, FlagOneDeliversPageOffAndStopsThePoller) {
  Close(1);
  ASSERT_TRUE(client.WaitForMessages(2, 5s));
  EXPECT_EQ(client.Received()[1].text, "pageOff");
  EXPECT_TRUE(PollerEnded());
  DWORD code = 1;
  GetExitCodeThread(threadHandle, &code);
  EXPECT_EQ(code, 0u);
}

TEST_F(CloseClientWinTest, FlagTwoOnlyStopsThePollerAndASecondCloseFindsNone) {
  Close(2);
  EXPECT_TRUE(PollerEnded());
  Close(2);
  EXPECT_EQ(poller, nullptr);
  for (auto& m : client.Received()) EXPECT_EQ(m.text, "state");
}

}  // namespace
}  // namespace vorlane
