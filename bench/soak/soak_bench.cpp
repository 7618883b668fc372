// Load and soak of the real control in one process, with the local client
// simulator answering on 127.0.0.1:8000. Figures, printed, never asserted:
// what the process holds before and after each phase (handles, threads,
// private memory, the diagnostic log's size) and the growth, each beside its
// target (nothing left over, memory growth under 1 MB, no log line).
//  1. `controls` controls, each created from the file, activated in place in
//     a window of its own, Run on the updater road (types 0 and 1 in turn;
//     the poller reaches the client, whose reply arrives as OnClientMessage),
//     closed with Close(1) and released;
//  2. one control whose poller polls at its 500 ms pace for `seconds`.
// A few controls go through phase 1's steps first, so that what the platform
// sets up once (Winsock, the shell's launcher, COM's caches) is not counted.
//   soak_bench.exe [controls=1000] [seconds=600]   (0 skips a phase)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_common.h"
#include "common/unmanaged_windows.h"
#include "control/identifiers.h"
#include "counting_sink.h"
#include "fake_page.h"
#include "figure_table.h"
#include "hosted_control.h"
#include "installed_updater.h"
#include "local_client/local_client_simulator.h"
#include "common/message_pump.h"
#include "process_figures.h"
#include "property_bag.h"
#include "support/win32/unique_handle.h"

using namespace std::chrono;
using namespace vorlane::host;
using vorlane::ComPtr;
using vorlane::Variant;
using namespace vorlane::bench;
using vorlane::tests::LeaveWindowsUnmanagedUnderWine;
using vorlane::tests::LocalClientSimulator;
using vorlane::tests::PumpFor;
using vorlane::tests::PumpUntil;

namespace {

constexpr int kWarmUpControls = 5;
constexpr DWORD kReplyLimitMs = 10000;  // the first reply reaches the page well within this
constexpr DWORD kSettleLimitMs = 10000;
constexpr char16_t kPage[] = u"https://127.0.0.1:8443/portals/index.html";
constexpr char16_t kCookie[] = u"Varnex_SSLID=0123456789abcdef0123456789abcdef";

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

// Waits until the module has nothing in use (no object, no lock, no thread
// of its own) and then a little more, for a thread that has let go of the
// module to finish exiting and for the simulator to let go of the ended
// connections. False when the module was still in use at the limit.
bool Settle(CanUnloadNow canUnload) {
  const auto limit = steady_clock::now() + milliseconds(kSettleLimitMs);
  while (canUnload() != S_OK) {
    if (steady_clock::now() > limit) return false;
    PumpFor(20);
  }
  PumpFor(300);
  HostedControl::FreeUnusedFiles();
  return true;
}

Variant DispatchArg(IDispatch* object) {
  Variant arg;
  V_VT(arg.Get()) = VT_DISPATCH;
  V_DISPATCH(arg.Get()) = object;
  object->AddRef();
  return arg;
}

Variant ShortArg(short value) {
  Variant arg;
  V_VT(arg.Get()) = VT_I2;
  V_I2(arg.Get()) = value;
  return arg;
}

double MsSince(steady_clock::time_point& mark) {
  auto now = steady_clock::now();
  double ms = duration<double, std::milli>(now - mark).count();
  mark = now;
  return ms;
}

// One control on the page: made, embedded and Run; its poller then reports.
class PageControl {
 public:
  PageControl(const std::u16string& file, const char16_t* type) : arrived_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
    if (FAILED(HostedControl::Create({clsid, file}, &control_))) Fail("no control");
    sink_ = ComPtr<CountingSink>::Adopt(new CountingSink(EventsIid(), arrived_.Get()));
    auto params = ComPtr<PropertyBag>::Adopt(new PropertyBag);
    params->Set(u"type", type);
    if (FAILED(control_->Advise(sink_.Get(), EventsIid(), &cookie_)) || FAILED(control_->Initialize(params.Get())) ||
        FAILED(control_->Activate()) || !control_->control_window())
      Fail("control not embedded");
  }
  ~PageControl() {
    control_->Unadvise(EventsIid(), cookie_);
    control_->Release();
  }

  bool Run() {
    auto page = FakePage::Make(kPage, std::u16string(kCookie));
    if (!page) Fail("no page");
    std::vector<Variant> args;
    args.push_back(DispatchArg(page->window().Get()));
    CallResult run = control_->Call(u"Run", args);
    return SUCCEEDED(run.hr) && V_VT(run.value.Get()) == VT_BOOL && V_BOOL(run.value.Get());
  }
  // Pumps until OnClientMessage has arrived `count` times in all.
  bool WaitForEvents(long count, DWORD limitMs) {
    const auto limit = steady_clock::now() + milliseconds(limitMs);
    while (sink_->Count() < count) {
      auto left = duration_cast<milliseconds>(limit - steady_clock::now()).count();
      if (left <= 0) return false;
      PumpUntil(arrived_.Get(), static_cast<DWORD>(left));
    }
    return true;
  }
  long Events() const { return sink_->Count(); }
  void Close(short flag) {
    std::vector<Variant> args;
    args.push_back(ShortArg(flag));
    control_->Call(u"Close", args);
  }

 private:
  static IID EventsIid() { return *reinterpret_cast<const IID*>(&vorlane::kEventsIid); }

  vorlane::UniqueHandle arrived_;
  std::unique_ptr<HostedControl> control_;
  ComPtr<CountingSink> sink_;
  DWORD cookie_ = 0;
};

struct CycleOutcome {
  bool ran = false;
  bool replied = false;
  // Milliseconds of each step: made and active, Run, the first reply, Close and release.
  double embedMs = 0, runMs = 0, replyMs = 0, closeMs = 0;
};


// Phase 1's steps for one control.
CycleOutcome Cycle(const std::u16string& file, int index) {
  CycleOutcome outcome;
  auto mark = steady_clock::now();
  {
    PageControl control(file, index % 2 ? u"1" : u"0");
    outcome.embedMs = MsSince(mark);
    outcome.ran = control.Run();
    outcome.runMs = MsSince(mark);
    outcome.replied = outcome.ran && control.WaitForEvents(1, kReplyLimitMs);
    outcome.replyMs = MsSince(mark);
    control.Close(1);
  }
  outcome.closeMs = MsSince(mark);
  return outcome;
}

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + name;
}

long CountLines(const std::wstring& path) {
  std::ifstream in(path.c_str());
  long lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

// Each Run starts the updater, which writes one line when it runs.
long WaitForLaunches(const std::wstring& record, long expected) {
  const auto limit = steady_clock::now() + seconds(30);
  long seen = CountLines(record);
  while (seen < expected && steady_clock::now() < limit) {
    PumpFor(100);
    seen = CountLines(record);
  }
  return seen;
}

void SoakControls(Tally& tally, const std::u16string& file, CanUnloadNow canUnload, LocalClientSimulator& client,
                  const std::wstring& record, int controls) {
  std::printf("phase 1: %d controls created, activated, Run (types 0 and 1 in turn), Close(1), released\n", controls);
  long launchesBefore = CountLines(record);
  client.TakeReceived();
  if (!Settle(canUnload)) std::printf("  (the module was still in use before the phase)\n");
  const Snapshot before = TakeSnapshot();
  std::vector<double> cycleMs, embedMs, runMs, replyMs, closeMs;
  int ran = 0, replied = 0;
  const int every = controls >= 4 ? controls / 4 : controls;
  for (int i = 0; i < controls; ++i) {
    auto start = steady_clock::now();
    CycleOutcome outcome = Cycle(file, i);
    cycleMs.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    embedMs.push_back(outcome.embedMs);
    runMs.push_back(outcome.runMs);
    replyMs.push_back(outcome.replyMs);
    closeMs.push_back(outcome.closeMs);
    ran += outcome.ran;
    replied += outcome.replied;
    if ((i + 1) % every == 0 && i + 1 < controls) {
      client.TakeReceived();
      Settle(canUnload);
      char what[48];
      std::snprintf(what, sizeof what, "after %d controls", i + 1);
      Snapshot now = TakeSnapshot();
      PrintProgress(what, before, now);
      if (now.handles != before.handles) PrintNewHandles("  handles open now, not before", before, now);
    }
  }
  long launches = WaitForLaunches(record, launchesBefore + controls) - launchesBefore;
  client.TakeReceived();
  bool settled = Settle(canUnload);
  const Snapshot after = TakeSnapshot();
  std::printf("  per control: median %.1f ms, worst %.1f ms; Run true %d/%d; a reply as OnClientMessage %d/%d; "
              "updater started %ld/%d\n",
              Median(cycleMs), *std::max_element(cycleMs.begin(), cycleMs.end()), ran, controls,
              replied, controls, launches, controls);
  std::printf("  medians: made and active %.1f ms, Run %.1f ms, then the first reply %.1f ms, Close(1) and release "
              "%.1f ms\n",
              Median(embedMs), Median(runMs), Median(replyMs),
              Median(closeMs));
  if (!settled) std::printf("  the module was still in use %lu ms after the last release\n", kSettleLimitMs);
  std::printf("  after all %d controls, against before the first:\n", controls);
  PrintTable(tally, before, after);
}

void SoakPolling(Tally& tally, const std::u16string& file, CanUnloadNow canUnload, LocalClientSimulator& client,
                 int seconds) {
  std::printf("phase 2: one control polling for %d s, the client answering \"Busy\" (so every 500 ms)\n", seconds);
  client.SetDefault(LocalClientSimulator::Reply("Busy"));
  client.TakeReceived();
  Settle(canUnload);
  const Snapshot beforeControl = TakeSnapshot();
  std::size_t polls = 0;
  Snapshot pollingStart, pollingEnd;
  long events = 0;
  double pollingSeconds = 0;
  {
    PageControl control(file, u"0");
    if (!control.Run()) Fail("Run failed");
    if (!control.WaitForEvents(1, kReplyLimitMs)) Fail("no reply reached the page");
    client.TakeReceived();
    const long eventsAtStart = control.Events();
    pollingStart = TakeSnapshot();
    const auto start = steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    const auto quarter = std::chrono::seconds(seconds) / 4;
    auto nextReport = start + quarter;
    for (auto now = start; now < end; now = steady_clock::now()) {
      // The simulator's records are handed over every few seconds, so they stay small.
      PumpFor(static_cast<DWORD>(std::min<long long>(5000, duration_cast<milliseconds>(end - now).count())));
      for (auto& message : client.TakeReceived()) polls += message.text == "state";
      if (steady_clock::now() >= nextReport && steady_clock::now() < end) {
        char what[48];
        std::snprintf(what, sizeof what, "after %.0f s",
                      duration<double>(steady_clock::now() - start).count());
        PrintProgress(what, pollingStart, TakeSnapshot());
        nextReport += quarter;
      }
    }
    pollingSeconds = duration<double>(steady_clock::now() - start).count();
    pollingEnd = TakeSnapshot();
    events = control.Events() - eventsAtStart;
    control.Close(1);
  }
  client.TakeReceived();
  bool settled = Settle(canUnload);
  const Snapshot afterControl = TakeSnapshot();
  std::printf("  %zu polls in %.1f s: one every %.1f ms; OnClientMessage %ld times\n", polls, pollingSeconds,
              polls ? pollingSeconds * 1000.0 / polls : 0.0, events);
  std::printf("  while polling, from the first reply to the end:\n");
  PrintTable(tally, pollingStart, pollingEnd);
  if (!settled) std::printf("  the module was still in use %lu ms after the release\n", kSettleLimitMs);
  std::printf("  left after Close(1) and release, against before the control was made:\n");
  PrintTable(tally, beforeControl, afterControl);
}

}  // namespace

int main(int argc, char** argv) {
  const int controls = argc > 1 ? std::max(0, std::atoi(argv[1])) : 1000;
  const int seconds = argc > 2 ? std::max(0, std::atoi(argv[2])) : 600;
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // progress shows as it happens, also through a pipe
  const bool unmanaged = LeaveWindowsUnmanagedUnderWine();
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  InstallUpdater();
  const std::wstring record = TempFile(L"soak_bench.commands.txt");
  DeleteFileW(record.c_str());
  SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(vorlane::tests::kCommandRecordVariable), record.c_str());

  const std::u16string file = ControlFile();
  // Loaded for the whole run, as a browser keeps it while the portal is open.
  HMODULE dll = LoadLibraryW(reinterpret_cast<const wchar_t*>(file.c_str()));
  if (!dll) Fail("cannot load vorlane.ocx beside the program");
  auto canUnload = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  if (!canUnload) Fail("vorlane.ocx exports no DllCanUnloadNow");

  auto client = std::make_unique<LocalClientSimulator>();  // answers "Connected"
  if (!client->Start()) Fail("cannot listen on 127.0.0.1:8000");
  for (int i = 0; i < kWarmUpControls; ++i) Cycle(file, i);
  WaitForLaunches(record, kWarmUpControls);

  if (unmanaged) std::printf("windows: not handed to a window manager (Wine's X11 driver, Managed=N)\n");
  PrintFigureSources();
  client->TakeReceived();
  Settle(canUnload);
  const Snapshot start = TakeSnapshot();
  Tally tally;
  if (controls > 0) SoakControls(tally, file, canUnload, *client, record, controls);
  if (seconds > 0) SoakPolling(tally, file, canUnload, *client, seconds);

  // Whose the handles are that came during the run: a mutex's event goes
  // with the mutex, so with the simulator, or with the module's unloading.
  std::printf("handles open now that were not before phase 1:\n");
  PrintNewHandles("at the end", start, TakeSnapshot());
  client.reset();
  PrintNewHandles("with the simulator gone", start, TakeSnapshot());
  HostedControl::FreeUnusedFiles();
  const bool unloaded = canUnload() == S_OK && FreeLibrary(dll) &&
                        !GetModuleHandleW(reinterpret_cast<const wchar_t*>(file.c_str()));
  if (unloaded) PrintNewHandles("with vorlane.ocx unloaded too", start, TakeSnapshot());
  else std::printf("  (vorlane.ocx is still loaded)\n");
  std::printf("targets: %d met, %d missed\n", tally.met, tally.missed);
  OleUninitialize();
  return 0;
}
