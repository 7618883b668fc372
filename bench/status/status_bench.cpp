// Status poller figures under real Winsock against the local client simulator:
//  1. delay from a reply leaving the simulator to its notification reaching a
//     window (replies other than "Connected", so polls come every 500 ms);
//  2. CPU time the poller thread uses per minute of polling at 5 s. The
//     simulator runs in a child process for this, so the only thread this
//     process gains is the poller's, read with the Linux clock under Wine
//     (see unix_thread_clock.h), GetThreadTimes elsewhere.
// Usage: status_bench [delay seconds, default 20] [cpu seconds, default 20]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_common.h"
#include "support/win32/unique_handle.h"
#include "common/notification_window.h"
#include "local_client/local_client_simulator.h"
#include "status/win32/win32_poller_thread.h"
#include "unix_thread_clock.h"

using namespace std::chrono;
using vorlane::UniqueHandle;
using vorlane::tests::LocalClientSimulator;
using vorlane::tests::NotificationWindow;
using namespace vorlane::bench;

namespace {

constexpr wchar_t kClientReady[] = L"vorlane-status-bench-client-ready";
constexpr wchar_t kClientStop[] = L"vorlane-status-bench-client-stop";

struct RunningPoller {
  std::shared_ptr<vorlane::PollerState> state = std::make_shared<vorlane::PollerState>();
  vorlane::PollerThreadSlot thread;
  void* handle = nullptr;
};

void Start(RunningPoller& poller, NotificationWindow& window) {
  poller.state->window = window.Handle();
  auto thread = vorlane::StartStatusPoller(poller.state);
  if (!thread) Fail("no poller thread");
  poller.handle = thread->NativeHandle();
  poller.thread = std::move(thread);
}

double Milliseconds(FILETIME t) {
  ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
  return static_cast<double>(v.QuadPart) / 10000.0;
}

double WindowsThreadCpuMs(void* thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  return Milliseconds(kernel) + Milliseconds(user);
}

void MeasureDelay(int seconds) {
  LocalClientSimulator client;
  client.SetDefault(LocalClientSimulator::Reply("Busy"));
  if (!client.Start()) Fail("cannot listen on 127.0.0.1:8000");
  NotificationWindow window;
  RunningPoller poller;
  Start(poller, window);
  window.PumpUntil([] { return false; }, std::chrono::seconds(seconds));
  vorlane::StopPoller(*poller.state, poller.thread);
  auto sent = client.Sent();
  auto& seen = window.Seen();
  std::size_t n = std::min(sent.size(), seen.size());
  std::vector<double> delays;
  for (std::size_t i = 0; i < n; ++i)
    delays.push_back(duration<double, std::milli>(seen[i].at - sent[i].at).count());
  client.Stop();
  if (delays.empty()) Fail("reply to window: no replies seen");
  std::sort(delays.begin(), delays.end());
  std::printf("reply to window: %zu replies, median %.3f ms, worst %.3f ms\n", delays.size(),
              delays[delays.size() / 2], delays.back());
  Figure("status_relay_median_ms", delays[delays.size() / 2], "<0.5");
}

// The child: the local client simulator answering "Connected" until told to stop.
int ServeClient() {
  UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, kClientReady));
  UniqueHandle stop(OpenEventW(SYNCHRONIZE, FALSE, kClientStop));
  if (!ready || !stop) return 2;
  LocalClientSimulator client;
  if (!client.Start()) return 3;
  SetEvent(ready.Get());
  WaitForSingleObject(stop.Get(), 10 * 60 * 1000);
  client.Stop();
  return 0;
}

void MeasureCpu(int seconds) {
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, kClientReady));
  UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, kClientStop));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --client";
  STARTUPINFOW startInfo{};
  startInfo.cb = sizeof startInfo;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startInfo, &started))
    Fail("cannot start the client process");
  UniqueHandle child(started.hProcess), childThread(started.hThread);
  HANDLE waits[] = {ready.Get(), child.Get()};
  if (WaitForMultipleObjects(2, waits, FALSE, 30000) != WAIT_OBJECT_0) Fail("the client process did not listen");

  NotificationWindow window;
  const std::set<std::string> before = UnixThreads();
  RunningPoller poller;
  Start(poller, window);
  // Start-up (thread, Winsock, connection) is counted apart from polling.
  if (!window.PumpUntilSeen(1, std::chrono::seconds(10))) Fail("the poller told nothing");
  std::vector<std::string> gained;
  for (const std::string& id : UnixThreads())
    if (!before.count(id)) gained.push_back(id);
  const bool unixClock = gained.size() == 1;
  auto cpuMs = [&] { return unixClock ? UnixThreadCpuMs(gained[0]) : WindowsThreadCpuMs(poller.handle); };
  const double startup = cpuMs();
  const std::size_t seenBefore = window.Seen().size();
  window.PumpUntil([] { return false; }, std::chrono::seconds(seconds));
  const double polling = cpuMs() - startup;
  const std::size_t polls = window.Seen().size() - seenBefore;
  vorlane::StopPoller(*poller.state, poller.thread);
  SetEvent(stop.Get());
  WaitForSingleObject(child.Get(), 10000);

  std::printf("poller CPU (%s): start-up %.3f ms; polling at 5 s: %.3f ms in %d s (%zu replies told), "
              "%.3f ms per minute\n",
              unixClock ? "Linux thread clock, ns" : "GetThreadTimes, scheduler ticks", startup, polling, seconds,
              polls, polling * 60.0 / seconds);
  if (!unixClock && !gained.empty())
    std::printf("(%zu threads appeared with the poller: cannot tell which is its)\n", gained.size());
  Figure("poller_cpu_ms_per_minute", polling * 60.0 / seconds, "-");
  Figure("poller_cpu_us_per_reply", polls ? polling * 1000.0 / polls : 0, "-");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--client") == 0) return ServeClient();
  int delaySeconds = argc > 1 ? std::atoi(argv[1]) : 20;
  int cpuSeconds = argc > 2 ? std::atoi(argv[2]) : 20;
  MeasureDelay(delaySeconds);
  MeasureCpu(cpuSeconds);
  return 0;
}
