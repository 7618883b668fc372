// Status poller figures under real Winsock against the local client simulator:
//  1. delay from a reply leaving the simulator to its notification reaching a
//     window (replies other than "Connected", so polls come every 500 ms);
//  2. CPU time the poller thread uses per minute of polling at 5 s.
// Usage: status_bench [delay seconds, default 20] [cpu seconds, default 20]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "local_client/local_client_simulator.h"
#include "notification_window.h"
#include "status/win32/win32_poller_thread.h"

using namespace std::chrono;
using vorlane::tests::LocalClientSimulator;
using vorlane::tests::NotificationWindow;

namespace {

struct RunningPoller {
  std::shared_ptr<vorlane::PollerState> state = std::make_shared<vorlane::PollerState>();
  vorlane::PollerThreadSlot thread;
  void* handle = nullptr;
};

void Start(RunningPoller& poller, NotificationWindow& window) {
  poller.state->window = window.Handle();
  auto thread = vorlane::StartStatusPoller(poller.state);
  if (!thread) {
    std::fprintf(stderr, "no poller thread\n");
    std::exit(1);
  }
  poller.handle = thread->NativeHandle();
  poller.thread = std::move(thread);
}

double Milliseconds(FILETIME t) {
  ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
  return static_cast<double>(v.QuadPart) / 10000.0;
}

double CpuMilliseconds(void* thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  return Milliseconds(kernel) + Milliseconds(user);
}

void MeasureDelay(int seconds) {
  LocalClientSimulator client;
  client.SetDefault(LocalClientSimulator::Reply("Busy"));
  if (!client.Start()) {
    std::fprintf(stderr, "cannot listen on 127.0.0.1:8000\n");
    std::exit(1);
  }
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
  std::sort(delays.begin(), delays.end());
  if (delays.empty()) {
    std::printf("reply to window: no replies seen\n");
    return;
  }
  std::printf("reply to window: %zu replies, median %.3f ms, worst %.3f ms\n", delays.size(),
              delays[delays.size() / 2], delays.back());
  client.Stop();
}

void MeasureCpu(int seconds) {
  LocalClientSimulator client;  // answers "Connected": polls every 5 s
  if (!client.Start()) std::exit(1);
  NotificationWindow window;
  RunningPoller poller;
  Start(poller, window);
  // Start-up (thread, Winsock, connection) is counted apart from polling.
  window.PumpUntilSeen(1, std::chrono::seconds(10));
  double startup = CpuMilliseconds(poller.handle);
  std::size_t pollsBefore = client.Received().size();
  window.PumpUntil([] { return false; }, std::chrono::seconds(seconds));
  double polling = CpuMilliseconds(poller.handle) - startup;
  vorlane::StopPoller(*poller.state, poller.thread);
  std::printf("poller CPU: start-up %.3f ms; polling at 5 s: %.3f ms in %d s (%zu polls), "
              "%.3f ms per minute\n",
              startup, polling, seconds, client.Received().size() - pollsBefore,
              polling * 60.0 / seconds);
  std::printf("(thread times are counted in scheduler ticks, typically 10 ms or 15.6 ms)\n");
  client.Stop();
}

}  // namespace

int main(int argc, char** argv) {
  int delaySeconds = argc > 1 ? std::atoi(argv[1]) : 20;
  int cpuSeconds = argc > 2 ? std::atoi(argv[2]) : 20;
  MeasureDelay(delaySeconds);
  MeasureCpu(cpuSeconds);
  return 0;
}
