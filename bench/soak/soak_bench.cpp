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
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_common.h"
#include "com/win32/com_object.h"
#include "com/win32/unique_handle.h"
#include "common/process_handles.h"
#include "control/control_tables.h"
#include "control/identifiers.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "installed_updater.h"
#include "local_client/local_client_simulator.h"
#include "message_pump.h"
#include "property_bag.h"
#include "support/diagnostic_log.h"

using namespace std::chrono;
using namespace vorlane::host;
using vorlane::ComPtr;
using vorlane::Variant;
using vorlane::bench::Fail;
using vorlane::tests::LocalClientSimulator;

namespace {

constexpr int kWarmUpControls = 5;
constexpr DWORD kReplyLimitMs = 10000;  // the first reply reaches the page well within this
constexpr DWORD kSettleLimitMs = 10000;
constexpr long long kMemoryTargetBytes = 1024 * 1024;
constexpr wchar_t kPage[] = L"https://127.0.0.1:8443/portals/index.html";
constexpr wchar_t kCookie[] = L"Varnex_SSLID=0123456789abcdef0123456789abcdef";

// Counts OnClientMessage and signals each one; keeps nothing else, so that a
// long run does not grow the process by what the sink records.
class CountingSink final : public vorlane::ComObject<IDispatch> {
 public:
  CountingSink(IID events, HANDLE arrived) : events_(events), arrived_(arrived) {}
  long Count() const { return count_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) return Answer(static_cast<IDispatch*>(this), out);
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (id == vorlane::kDispIdOnClientMessage) {
      ++count_;
      SetEvent(arrived_);
    }
    if (result) VariantInit(result);
    return S_OK;
  }

 private:
  const IID events_;
  const HANDLE arrived_;
  long count_ = 0;  // touched on the UI thread only
};

struct Snapshot {
  std::vector<ULONG_PTR> handleValues;  // the open ones, lowest first
  long long handles = 0;
  long long threads = 0;
  long long privateBytes = 0;
  long long logBytes = 0;
};

long long ThreadsOfThisProcess() {
  vorlane::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot.Get() == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  long long count = 0;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  return count;
}

// Wine answers GetProcessHandleCount with 0; there the handles are the open
// handle values counted.
long long HandleCount(const std::vector<ULONG_PTR>& values, bool* probed) {
  DWORD count = 0;
  *probed = !GetProcessHandleCount(GetCurrentProcess(), &count) || count == 0;
  return *probed ? static_cast<long long>(values.size()) : count;
}

struct EventBasicInformation {
  int type;  // 0: manual reset, 1: auto-reset
  LONG state;
};
extern "C" NTSTATUS NTAPI NtQueryEvent(HANDLE event, int informationClass, void* information, ULONG length,
                                       ULONG* returned);

// What a handle names: its kind of object ("Event", "File", ...) and the
// object's name when it has one.
std::wstring HandleObject(ULONG_PTR value) {
  alignas(8) unsigned char buffer[2048];
  ULONG length = 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(value);
  if (NtQueryObject(handle, ObjectTypeInformation, buffer, sizeof buffer, &length) != 0) return L"?";
  const auto* type = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
  std::wstring described(type->TypeName.Buffer, type->TypeName.Length / sizeof(wchar_t));
  EventBasicInformation event{};
  if (described == L"Event" && NtQueryEvent(handle, 0, &event, sizeof event, nullptr) == 0)
    described += event.type == 1 ? L" (auto-reset)" : L" (manual reset)";
  constexpr auto kObjectNameInformation = static_cast<OBJECT_INFORMATION_CLASS>(1);
  if (NtQueryObject(handle, kObjectNameInformation, buffer, sizeof buffer, &length) == 0) {
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer);
    if (name->Length) described += L" " + std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
  }
  return described;
}

// Wine fills only PROCESS_MEMORY_COUNTERS (cb says so) and leaves
// PrivateUsage 0; its PagefileUsage is the process's private memory.
long long PrivateBytes(bool* fromPagefileUsage) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  *fromPagefileUsage = memory.cb < sizeof memory || memory.PrivateUsage == 0;
  return static_cast<long long>(*fromPagefileUsage ? memory.PagefileUsage : memory.PrivateUsage);
}

Snapshot Take() {
  Snapshot s;
  bool probed = false, fromPagefileUsage = false;
  s.handleValues = vorlane::tests::OpenHandleValues();
  s.handles = HandleCount(s.handleValues, &probed);
  s.threads = ThreadsOfThisProcess();  // its own snapshot handle is closed again by now
  s.privateBytes = PrivateBytes(&fromPagefileUsage);
  WIN32_FILE_ATTRIBUTE_DATA log{};
  if (GetFileAttributesExW(reinterpret_cast<const wchar_t*>(vorlane::kClientLogPath), GetFileExInfoStandard, &log))
    s.logBytes = (static_cast<long long>(log.nFileSizeHigh) << 32) | log.nFileSizeLow;
  return s;
}

// What the threads library does with a std::mutex that two threads contend
// for: it makes an event for waiting on the mutex then and keeps it with the
// mutex. Such handles appear once in a while during a run, whenever a mutex
// of the process meets its first contention. Returns the handles it left.
std::vector<ULONG_PTR> HandlesOfAContendedMutex(std::mutex& mutex) {
  std::vector<ULONG_PTR> before = vorlane::tests::OpenHandleValues();
  std::unique_lock held(mutex);
  std::thread contender([&] { std::lock_guard waits(mutex); });
  Sleep(200);  // the contender is waiting for the mutex by now
  held.unlock();
  contender.join();
  std::vector<ULONG_PTR> left;
  for (ULONG_PTR value : vorlane::tests::OpenHandleValues())
    if (!std::binary_search(before.begin(), before.end(), value)) left.push_back(value);
  return left;
}

void PrintSources() {
  bool probed = false, fromPagefileUsage = false;
  HandleCount(vorlane::tests::OpenHandleValues(), &probed);
  PrivateBytes(&fromPagefileUsage);
  std::printf("handles: %s\n", probed ? "GetProcessHandleCount answers 0 here, so the open handle values are counted "
                                        "with GetHandleInformation"
                                      : "GetProcessHandleCount");
  std::printf("threads: this process's threads in a Toolhelp snapshot\n");
  std::printf("private memory: %s\n", fromPagefileUsage ? "PrivateUsage is not filled here, so PagefileUsage"
                                                        : "PrivateUsage");
  std::printf("log file: the size of %ls\n", reinterpret_cast<const wchar_t*>(vorlane::kClientLogPath));
  std::mutex mutex;
  std::printf("a std::mutex contended for the first time keeps:");
  for (ULONG_PTR value : HandlesOfAContendedMutex(mutex)) std::printf(" %ls", HandleObject(value).c_str());
  std::printf(" (until it is destroyed)\n");
}

struct Tally {
  int met = 0;
  int missed = 0;
};

void PrintNewHandles(const char* when, const Snapshot& before, const Snapshot& now) {
  std::vector<ULONG_PTR> added;
  for (ULONG_PTR value : now.handleValues)
    if (!std::binary_search(before.handleValues.begin(), before.handleValues.end(), value)) added.push_back(value);
  std::printf("  %s: %zu", when, added.size());
  for (ULONG_PTR value : added)
    std::printf("%s0x%llx %ls", value == added.front() ? " (" : ", ", static_cast<unsigned long long>(value),
                HandleObject(value).c_str());
  std::printf("%s\n", added.empty() ? "" : ")");
}

void PrintRow(Tally& tally, const char* figure, long long before, long long after, long long limit, const char* unit,
              long long scale, bool below) {
  long long growth = after - before;
  bool met = below ? growth < limit : growth <= limit;
  (met ? tally.met : tally.missed)++;
  char target[32];
  std::snprintf(target, sizeof target, "%s%+lld %s", below ? "< " : "", limit / scale, unit);
  std::printf("    %-15s %12lld %s %12lld %s %+10lld %s   %-12s %s\n", figure, before / scale, unit, after / scale, unit,
              growth / scale, unit, target, met ? "met" : "MISSED");
}

void PrintTable(Tally& tally, const Snapshot& before, const Snapshot& after) {
  std::printf("    %-15s %15s %15s %13s   %-12s %s\n", "figure", "before", "after", "growth", "target", "");
  PrintRow(tally, "handles", before.handles, after.handles, 0, "  ", 1, false);
  PrintRow(tally, "threads", before.threads, after.threads, 0, "  ", 1, false);
  PrintRow(tally, "private memory", before.privateBytes, after.privateBytes, kMemoryTargetBytes, "KB", 1024, true);
  PrintRow(tally, "log file", before.logBytes, after.logBytes, 0, "B ", 1, false);
  if (after.handles != before.handles) PrintNewHandles("  handles open after, not before", before, after);
}

void PrintProgress(const char* what, const Snapshot& start, const Snapshot& now) {
  std::printf("  %s: handles %lld (%+lld), threads %lld (%+lld), private %lld KB (%+lld KB), log %lld B\n", what,
              now.handles, now.handles - start.handles, now.threads, now.threads - start.threads,
              now.privateBytes / 1024, (now.privateBytes - start.privateBytes) / 1024, now.logBytes);
}

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

// Under Wine, a top-level window that its X11 driver hands to a window manager
// waits up to 2 s, at its destruction, for a window manager that Xvfb does
// not have: 2 s of every control's cycle would be the host window's. The
// driver reads this setting when it loads, with the process's first window.
// True when the setting was written (on Windows it means nothing).
bool LeaveWindowsUnmanagedUnderWine() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LSTATUS written = RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), sizeof L"N");
  RegCloseKey(key);
  return written == ERROR_SUCCESS && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
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
    auto page = FakePage::Make(reinterpret_cast<const char16_t*>(kPage), std::u16string(reinterpret_cast<const char16_t*>(kCookie)));
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
  const Snapshot before = Take();
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
      Snapshot now = Take();
      PrintProgress(what, before, now);
      if (now.handles != before.handles) PrintNewHandles("  handles open now, not before", before, now);
    }
  }
  long launches = WaitForLaunches(record, launchesBefore + controls) - launchesBefore;
  client.TakeReceived();
  bool settled = Settle(canUnload);
  const Snapshot after = Take();
  std::printf("  per control: median %.1f ms, worst %.1f ms; Run true %d/%d; a reply as OnClientMessage %d/%d; "
              "updater started %ld/%d\n",
              vorlane::bench::Median(cycleMs), *std::max_element(cycleMs.begin(), cycleMs.end()), ran, controls,
              replied, controls, launches, controls);
  std::printf("  medians: made and active %.1f ms, Run %.1f ms, then the first reply %.1f ms, Close(1) and release "
              "%.1f ms\n",
              vorlane::bench::Median(embedMs), vorlane::bench::Median(runMs), vorlane::bench::Median(replyMs),
              vorlane::bench::Median(closeMs));
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
  const Snapshot beforeControl = Take();
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
    pollingStart = Take();
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
        PrintProgress(what, pollingStart, Take());
        nextReport += quarter;
      }
    }
    pollingSeconds = duration<double>(steady_clock::now() - start).count();
    pollingEnd = Take();
    events = control.Events() - eventsAtStart;
    control.Close(1);
  }
  client.TakeReceived();
  bool settled = Settle(canUnload);
  const Snapshot afterControl = Take();
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
  vorlane::bench::InstallUpdater();
  const std::wstring record = TempFile(L"soak_bench.commands.txt");
  DeleteFileW(record.c_str());
  SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(vorlane::tests::kCommandRecordVariable), record.c_str());

  const std::u16string file = vorlane::bench::ControlFile();
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
  PrintSources();
  client->TakeReceived();
  Settle(canUnload);
  const Snapshot start = Take();
  Tally tally;
  if (controls > 0) SoakControls(tally, file, canUnload, *client, record, controls);
  if (seconds > 0) SoakPolling(tally, file, canUnload, *client, seconds);

  // Whose the handles are that came during the run: a mutex's event goes
  // with the mutex, so with the simulator, or with the module's unloading.
  std::printf("handles open now that were not before phase 1:\n");
  PrintNewHandles("at the end", start, Take());
  client.reset();
  PrintNewHandles("with the simulator gone", start, Take());
  HostedControl::FreeUnusedFiles();
  const bool unloaded = canUnload() == S_OK && FreeLibrary(dll) &&
                        !GetModuleHandleW(reinterpret_cast<const wchar_t*>(file.c_str()));
  if (unloaded) PrintNewHandles("with vorlane.ocx unloaded too", start, Take());
  else std::printf("  (vorlane.ocx is still loaded)\n");
  std::printf("targets: %d met, %d missed\n", tally.met, tally.missed);
  OleUninitialize();
  return 0;
}
