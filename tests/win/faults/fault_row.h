#pragma once
// One row of the fault matrix: the real vorlane.ocx, loaded by its control
// alone (nothing keeps it loaded for the suite), meets a counterpart that
// misbehaves in one way. Every row ends by releasing the control and checking
// that the DLL can go: DllCanUnloadNow says S_OK within the row's bound, the
// file is freed and leaves the process once its threads have run their last
// instructions, and loaded again it serves a new control.
#include <chrono>
#include <cstdio>
#include <string>

#include "common/message_box_watcher.h"
#include "scenario_test.h"

namespace vorlane::scenarios {

using Clock = std::chrono::steady_clock;

constexpr char16_t kLaunchFailureEnglish[] = u"Failed to initiate the login information, please login again!";
constexpr char16_t kLaunchFailureChinese[] = u"登录信息初始化失败，请重新登录！";

// A freed DLL stays mapped until its last pinned thread has left it.
constexpr std::chrono::milliseconds kLastInstructionsBound = 2000ms;

class FaultRow : public PortalScenarioTest {
 protected:
  bool KeepsModuleLoaded() const override { return false; }
  void SetUp() override;
  void TearDown() override;

  // The row's closing checks, `bound` counted from the release.
  void ExpectUnloadedWithin(std::chrono::milliseconds bound);
  // Milliseconds since the row began.
  long long Elapsed() const;
  // Prints one line of the matrix: the row's outcome as the user saw it.
  void Observed(const std::string& what);

  // The installer a download stored; empty when none is there.
  std::u16string InstallerFile() const {
    std::vector<std::u16string> installers = DownloadedInstallers();
    return installers.empty() ? u"" : installers.front();
  }
  bool BoxSeen(tests::MessageBoxWatcher& watcher, std::chrono::milliseconds limit) {
    return PumpUntil([&] { return !watcher.Seen().empty(); }, limit);
  }

 private:
  Clock::time_point started_;
};

}  // namespace vorlane::scenarios
