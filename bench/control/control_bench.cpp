// The control as a browser meets it: the release DLL's size, the time from
// DllGetClassObject to an initialised, in-place active control, and the
// control's own cost of one IDispatch::Invoke. The member invoked is ResetUrl
// (VT_BOOL result), whose body is one WaitForSingleObject(event, 0): under
// Wine that is a round trip to the wine server, far above the control's own
// work, so the same wait on an event of our own is measured in the same run,
// in alternating rounds, and subtracted.
// Usage: control_bench [embeddings, default 50] [invokes per round, default 20000]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_common.h"
#include "support/win32/unique_handle.h"
#include "common/unmanaged_windows.h"
#include "control/identifiers.h"
#include "hosted_control.h"
#include "text.h"

using namespace std::chrono;
using namespace vorlane::host;
using vorlane::AsWide;
using namespace vorlane::bench;

namespace {

constexpr int kRounds = 7;

long long FileSize(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (!GetFileAttributesExW(AsWide(path), GetFileExInfoStandard, &attributes)) return -1;
  return (static_cast<long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
}

template <typename Body>
double MicrosecondsPerCall(int calls, Body body) {
  auto start = steady_clock::now();
  for (int i = 0; i < calls; ++i) body();
  return duration<double, std::micro>(steady_clock::now() - start).count() / calls;
}

}  // namespace

int main(int argc, char** argv) {
  const int embeddings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const int invokes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20000;
  // Every embedding makes and destroys a top-level window: without this,
  // Wine under Xvfb waits about 2 s for a window manager at each one.
  vorlane::tests::LeaveWindowsUnmanagedUnderWine();
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  const std::u16string file = ControlFile();

  // What ships is the stripped DLL of the release folder; the one beside the
  // program keeps its symbols.
  const long long released = FileSize(ProgramFolder() + u"..\\release\\vorlane.ocx");
  const long long built = FileSize(file);
  if (built < 0) Fail("no vorlane.ocx beside the program");
  if (released < 0) Fail("no release\\vorlane.ocx (cmake --build --preset win64 --target package)");
  std::printf("release vorlane.ocx (stripped):       %lld bytes (built, with symbols: %lld)\n", released, built);
  Figure("release_dll_kb", released / 1024.0, "<2560");

  // Keep the DLL loaded across embeddings, as a browser with the page open does.
  HMODULE dll = LoadLibraryW(AsWide(file));
  if (!dll) Fail("cannot load vorlane.ocx");

  std::vector<double> embedMs;
  std::unique_ptr<HostedControl> kept;
  for (int i = 0; i < embeddings; ++i) {
    auto start = steady_clock::now();
    std::unique_ptr<HostedControl> control;
    if (FAILED(HostedControl::Create({clsid, file}, &control)) || FAILED(control->Initialize(nullptr)) ||
        FAILED(control->Activate()) || !control->control_window())
      Fail("control not embedded");
    embedMs.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
    if (i + 1 == embeddings) kept = std::move(control);
    else control->Release();
  }
  std::printf("DllGetClassObject to active control:  median %.3f ms, worst %.3f ms (%d embeddings)\n",
              Median(embedMs), *std::max_element(embedMs.begin(), embedMs.end()), embeddings);
  Figure("class_object_to_active_ms", Median(embedMs), "<5");

  IDispatch* dispatch = nullptr;
  if (FAILED(kept->object()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) Fail("no IDispatch");
  // Unsignalled, as the control's reset event is while nobody asks for a reset.
  vorlane::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  DISPPARAMS none{};
  std::vector<double> invokeUs, waitUs;
  for (int round = 0; round < kRounds; ++round) {
    invokeUs.push_back(MicrosecondsPerCall(invokes, [&] {
      VARIANT result;
      VariantInit(&result);
      if (FAILED(dispatch->Invoke(1003, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr)) ||
          V_VT(&result) != VT_BOOL)
        Fail("ResetUrl did not answer a VT_BOOL");
    }));
    waitUs.push_back(MicrosecondsPerCall(invokes, [&] {
      if (WaitForSingleObject(event.Get(), 0) != WAIT_TIMEOUT) Fail("the event is signalled");
    }));
  }
  const double own = Median(invokeUs) - Median(waitUs);
  std::printf("Invoke of ResetUrl (VT_BOOL result):  median %.3f us per call (%d rounds of %d)\n", Median(invokeUs),
              kRounds, invokes);
  std::printf("its body's WaitForSingleObject alone: median %.3f us per call\n", Median(waitUs));
  std::printf("Invoke's own cost:                    %.3f us per call\n", own);
  Figure("invoke_own_us", own, "<50");

  dispatch->Release();
  kept->Release();
  OleUninitialize();
  return 0;
}
