// A Wine suite that hangs holds its run until the runner's time-out and says
// nothing of where it stood. The watchdog names the case that outran its
// bound, or says that the process did not end after its last case, and ends
// the process with a failure, so the run goes on and the log shows where.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

namespace vorlane::tests {
namespace {

// Far above the longest case (a login that waits out its 30 s bound) and far
// below the runner's own time-out.
constexpr ULONGLONG kCaseBoundMs = 180'000;
constexpr ULONGLONG kExitBoundMs = 60'000;
constexpr DWORD kLookEveryMs = 500;
constexpr UINT kHungExitCode = 124;

// Plain words and a thread that only sleeps and looks: nothing here is torn
// down while the process exits, when the watched exit may be what hangs.
std::atomic<ULONGLONG> deadline{0};  // GetTickCount64 to fire at; 0 when disarmed
char watched[512];                   // written only while disarmed
std::atomic<ULONGLONG> bound{0};

void Arm(const std::string& what, ULONGLONG boundMs) {
  deadline = 0;
  std::snprintf(watched, sizeof watched, "%s", what.c_str());
  bound = boundMs;
  deadline = GetTickCount64() + boundMs;
}

DWORD WINAPI Look(void*) {
  for (;;) {
    Sleep(kLookEveryMs);
    const ULONGLONG due = deadline;
    if (due == 0 || GetTickCount64() < due) continue;
    std::printf("[  HUNG    ] %s did not end within %llu s\n", watched, bound.load() / 1000);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), kHungExitCode);
  }
}

class HangWatchdog : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo& info) override {
    Arm(std::string(info.test_suite_name()) + "." + info.name(), kCaseBoundMs);
  }
  void OnTestEnd(const testing::TestInfo&) override { deadline = 0; }
  void OnTestProgramEnd(const testing::UnitTest&) override { Arm("the exit after the last case", kExitBoundMs); }
};

// gtest_main runs the cases; the listener is set before it starts them.
const bool kInstalled = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new HangWatchdog);
  HANDLE thread = CreateThread(nullptr, 0, Look, nullptr, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
  return true;
}();

}  // namespace
}  // namespace vorlane::tests
