// A Wine suite that hangs holds its run until the runner's time-out and says
// nothing of where it stood. The watchdog names the case that outran its
// bound, or says that the process did not end after its last case, and ends
// the process with a failure, so the run goes on and the log shows where.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace vorlane::tests {
namespace {

using Clock = std::chrono::steady_clock;

// Far above the longest case (a login that waits out its 30 s bound) and far
// below the runner's own time-out.
constexpr std::chrono::seconds kCaseBound{180};
constexpr std::chrono::seconds kExitBound{60};
constexpr UINT kHungExitCode = 124;

// What the watching thread waits on. Never destroyed: the thread waits on it
// until the process ends, and GoogleTest deletes its listeners at exit.
class Watch {
 public:
  static Watch& Instance() {
    static Watch* watch = new Watch;
    return *watch;
  }

  // An empty `what` disarms.
  void Arm(std::string what, std::chrono::seconds bound) {
    std::lock_guard lock(mutex_);
    what_ = std::move(what);
    bound_ = bound;
    deadline_ = Clock::now() + bound;
    changed_.notify_one();
  }

 private:
  Watch() { std::thread([this] { Run(); }).detach(); }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (what_.empty()) {
        changed_.wait(lock);
      } else if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && Clock::now() >= deadline_) {
        std::printf("[  HUNG    ] %s did not end within %lld s\n", what_.c_str(),
                    static_cast<long long>(bound_.count()));
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), kHungExitCode);
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::string what_;
  std::chrono::seconds bound_{};
  Clock::time_point deadline_{};
};

class HangWatchdog : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo& info) override {
    Watch::Instance().Arm(std::string(info.test_suite_name()) + "." + info.name(), kCaseBound);
  }
  void OnTestEnd(const testing::TestInfo&) override { Watch::Instance().Arm({}, {}); }
  void OnTestProgramEnd(const testing::UnitTest&) override {
    Watch::Instance().Arm("the exit after the last case", kExitBound);
  }
};

// gtest_main runs the cases; the listeners are set before it starts them.
const bool kInstalled = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new HangWatchdog);
  return true;
}();

}  // namespace
}  // namespace vorlane::tests
