// The gateway misbehaving while Run's download thread fetches the installer:
// the user is told in the type's language, no installer file is left on
// disk and nothing is started from partial data; a gateway that is slow but
// whole gets its installer stored in full.
#include <gmock/gmock.h>

#include "common/test_files.h"
#include "fault_row.h"
#include "common/message_pump.h"
#include "support/win32/wide_text.h"

namespace vorlane::scenarios {
namespace {

using tests::ConnectionFault;
using tests::InstallerMode;

// The download's bounds as machine policy, for one row.
class MachineDownloadBounds {
 public:
  MachineDownloadBounds(DWORD deadlineSeconds, DWORD stallSeconds) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"DownloadDeadlineSeconds", REG_DWORD, &deadlineSeconds, sizeof(DWORD));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"DownloadStallSeconds", REG_DWORD, &stallSeconds, sizeof(DWORD));
  }
  ~MachineDownloadBounds() {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"DownloadDeadlineSeconds");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"DownloadStallSeconds");
  }

 private:
  static constexpr wchar_t kKey[] = L"SOFTWARE\\Policies\\Vorlane";
};
// A refused or broken connection fails at once; the box follows.
constexpr std::chrono::milliseconds kPromptFailureBound = 5000ms;
// The download thread ends when the box is dismissed; the poller within a pause.
constexpr std::chrono::milliseconds kThreadsEndBound = 2000ms;

class GatewayFaults : public FaultRow {
 protected:
  // Run on the portal page with no updater installed: the download fails,
  // and the user is told within `bound`; the DLL can go `unloadBound` later.
  void ExpectFailedDownloadTold(int type, std::chrono::milliseconds bound,
                                std::chrono::milliseconds unloadBound = kThreadsEndBound) {
    tests::MessageBoxWatcher watcher;
    Embed(type);
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(RunOnPortal());
    ASSERT_TRUE(BoxSeen(watcher, bound)) << "no box within " << bound.count() << " ms";
    const auto told = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    std::vector<tests::SeenBox> boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(type == 0 ? kLaunchFailureEnglish : kLaunchFailureChinese, boxes[0].text);
    EXPECT_TRUE(DownloadedInstallers().empty()) << "the installer file was left on disk";
    EXPECT_TRUE(Recorded().empty()) << "something was started";
    // The status relay goes on beside the failed download.
    EXPECT_TRUE(PumpUntil([&] { return !ClientMessages().empty(); }, 3s));
    Observed("told \"" + Narrow(boxes[0].text) + "\" after " + std::to_string(told) +
             " ms; no installer file; nothing started");
    ExpectUnloadedWithin(unloadBound);
  }
  // Size of the installer file, or -1 when there is none.
  long long InstallerSize() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(AsWide(InstallerFile()), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long long>(data.nFileSizeLow) | (static_cast<long long>(data.nFileSizeHigh) << 32);
  }
};

TEST_F(GatewayFaults, Refused) {
  gateway_.Stop();  // its port is free: nothing listens there
  ExpectFailedDownloadTold(0, kPromptFailureBound);
}

// The gateway accepts and never answers: the download gives up at its
// stall limit (set short here by the machine's policy) and tells the user,
// while the gateway still holds the connection. WinINet keeps the connection,
// and with it the DLL, until the gateway lets go after kSilentHold (its TLS
// hello once more in compatibility mode, held as long); then the DLL can go.
TEST_F(GatewayFaults, AcceptsAndNeverAnswers) {
  constexpr std::chrono::milliseconds kSilentHold = 10000ms;
  constexpr std::chrono::milliseconds kStallLimit = 3000ms;
  MachineDownloadBounds bounds(60, static_cast<DWORD>(kStallLimit.count() / 1000));
  gateway_.SetConnectionFault(ConnectionFault::Silent);
  gateway_.SetSilentHold(static_cast<int>(kSilentHold.count()));
  ExpectFailedDownloadTold(1, kStallLimit + kPromptFailureBound, 2 * kSilentHold + kPromptFailureBound);
  static_assert(kStallLimit + kPromptFailureBound < kSilentHold, "told while the gateway still holds on");
  EXPECT_EQ(2, gateway_.FaultedConnections()) << "one TLS hello, then one in compatibility mode";
}

TEST_F(GatewayFaults, AnswersOneByteASecondAndTheWholeInstallerIsStored) {
  const std::string body = "MZ-six";
  gateway_.ServeInstaller(body);
  gateway_.SetInstallerMode(InstallerMode::Trickle);
  gateway_.SetTricklePause(1000);
  tests::MessageBoxWatcher watcher;
  Embed();
  ASSERT_TRUE(RunOnPortal());
  // One second a byte, within WinINet's reply timeout each.
  const auto bound = std::chrono::milliseconds(1000 * body.size()) + kPromptFailureBound;
  ASSERT_TRUE(PumpUntil([&] { return InstallerSize() == static_cast<long long>(body.size()); }, bound));
  // Not an executable: its start fails without a word, as the launcher's result is not looked at.
  tests::PumpFor(500);
  EXPECT_TRUE(watcher.Seen().empty());
  EXPECT_EQ(body, tests::ReadFileBytes(InstallerFile()));
  EXPECT_EQ(1u, gateway_.Requests().size());
  Observed("nothing told; the " + std::to_string(body.size()) + " bytes stored whole after " +
           std::to_string(Elapsed()) + " ms");
  ExpectUnloadedWithin(kThreadsEndBound);
}

// Replies that reach the download thread whole but are no installer.
struct BrokenReply {
  const char* name;
  InstallerMode mode;
  int type;
};

class BrokenReplies : public GatewayFaults, public ::testing::WithParamInterface<BrokenReply> {};

TEST_P(BrokenReplies, AreRefusedAndTheUserTold) {
  gateway_.SetInstallerMode(GetParam().mode);
  ExpectFailedDownloadTold(GetParam().type, kPromptFailureBound);
  EXPECT_EQ(1u, gateway_.Requests().size());
}

INSTANTIATE_TEST_SUITE_P(GatewayFaults, BrokenReplies,
                         ::testing::Values(BrokenReply{"ErrorStatus", InstallerMode::ErrorStatus, 0},
                                           BrokenReply{"BodyCutShort", InstallerMode::CutOff, 1},
                                           BrokenReply{"BytesThatAreNotHttp", InstallerMode::NotHttp, 0}),
                         [](const ::testing::TestParamInfo<BrokenReply>& info) { return info.param.name; });

TEST_F(GatewayFaults, PeerThatIsNotTls) {
  gateway_.SetConnectionFault(ConnectionFault::NotTls);
  ExpectFailedDownloadTold(1, kPromptFailureBound);
  EXPECT_TRUE(gateway_.Requests().empty());
}

TEST_F(GatewayFaults, HeadersOf64KilobytesBeforeTheInstaller) {
  gateway_.SetInstallerMode(InstallerMode::HugeHeaders);
  tests::MessageBoxWatcher watcher;
  Embed();
  ASSERT_TRUE(RunOnPortal());
  auto lines = Recorded(1, 15s);
  ASSERT_EQ(1u, lines.size()) << "boxes seen: " << watcher.Seen().size();
  EXPECT_THAT(lines[0], ::testing::HasSubstr("UpdateInstaller.exe"));
  EXPECT_TRUE(watcher.Seen().empty());
  Observed("nothing told; the installer stored whole and started after " + std::to_string(Elapsed()) + " ms");
  ExpectUnloadedWithin(kThreadsEndBound);
}

}  // namespace
}  // namespace vorlane::scenarios
