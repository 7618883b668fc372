// The control as a browser meets it: the DLL's size, the time from
// DllGetClassObject to an initialised, in-place active control, and the cost
// of one IDispatch::Invoke of a method with a boolean result (ResetUrl).
// Usage: control_bench [embeddings, default 50] [invokes, default 100000]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_common.h"
#include "control/identifiers.h"
#include "hosted_control.h"
#include "text.h"

using namespace std::chrono;
using namespace vorlane::host;
using vorlane::AsWide;
using namespace vorlane::bench;

int main(int argc, char** argv) {
  const int embeddings = argc > 1 ? std::atoi(argv[1]) : 50;
  const int invokes = argc > 2 ? std::atoi(argv[2]) : 100000;
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  const std::u16string file = ControlFile();

  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (!GetFileAttributesExW(AsWide(file), GetFileExInfoStandard, &attributes)) Fail("no vorlane.ocx beside the program");
  std::printf("vorlane.ocx size:                     %lu bytes\n", attributes.nFileSizeLow);

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

  IDispatch* dispatch = nullptr;
  if (FAILED(kept->object()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) Fail("no IDispatch");
  DISPPARAMS none{};
  VARIANT result;
  auto start = steady_clock::now();
  for (int i = 0; i < invokes; ++i) {
    VariantInit(&result);
    if (FAILED(dispatch->Invoke(1003, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr)) ||
        V_VT(&result) != VT_BOOL)
      Fail("ResetUrl did not answer a VT_BOOL");
  }
  double perInvokeUs = duration<double, std::micro>(steady_clock::now() - start).count() / invokes;
  std::printf("Invoke of ResetUrl (VT_BOOL result):  %.3f us per call (%d calls)\n", perInvokeUs, invokes);

  dispatch->Release();
  kept->Release();
  OleUninitialize();
  return 0;
}
