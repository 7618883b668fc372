// Time from CoCreateInstance to a control that is active in the platform's
// ATL container (AtlAxAttachControl into an AtlAxWin window), the first time
// in the process (the DLL loads) and then warm; and the sizes of the
// release files when the release folder is there.
//   atl_bench.exe [runs]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_common.h"
#include "common/atl_api.h"
#include "control/identifiers.h"

namespace {

std::wstring Beside(const wchar_t* relative) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + relative;
}

// Microseconds from creating the control to its in-place window; -1 on failure.
double CreateAndActivate(vorlane::tests::AtlApi& atl, HWND frame) {
  HWND container = CreateWindowExW(0, L"AtlAxWin", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, frame, nullptr,
                                   nullptr, nullptr);
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  auto start = std::chrono::steady_clock::now();
  IUnknown* control = nullptr;
  IUnknown* site = nullptr;
  HWND window = nullptr;
  if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                 reinterpret_cast<void**>(&control))) &&
      SUCCEEDED(atl.AxAttachControl(control, container, &site))) {
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
      inPlace->GetWindow(&window);
      inPlace->Release();
    }
  }
  auto end = std::chrono::steady_clock::now();
  if (site) site->Release();
  if (control) control->Release();
  DestroyWindow(container);
  if (!window) return -1;
  return std::chrono::duration<double, std::micro>(end - start).count();
}

void PrintSize(const wchar_t* name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  std::wstring path = Beside(L"..\\release\\") + name;
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    std::printf("release %-18ls %8lu bytes\n", name, data.nFileSizeLow);
    if (std::wstring(name) == L"vorlane.cab") vorlane::bench::Figure("release_cab_kb", data.nFileSizeLow / 1024.0, "<1228");
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  OleInitialize(nullptr);
  HMODULE ocx = LoadLibraryW(Beside(L"vorlane.ocx").c_str());
  auto registerServer =
      ocx ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(ocx, "DllRegisterServer")))
          : nullptr;
  if (!registerServer || FAILED(registerServer())) {
    std::fprintf(stderr, "atl_bench: cannot register vorlane.ocx\n");
    return 1;
  }
  FreeLibrary(ocx);  // CoCreateInstance loads it itself, the first time below
  vorlane::tests::AtlApi atl;
  if (!atl.Load()) {
    std::fprintf(stderr, "atl_bench: atl.dll's container is missing\n");
    return 1;
  }
  HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 200, nullptr,
                               nullptr, nullptr, nullptr);
  double first = CreateAndActivate(atl, frame);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double t = CreateAndActivate(atl, frame);
    if (t < 0) {
      std::fprintf(stderr, "atl_bench: run %d failed\n", i);
      return 1;
    }
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  std::printf("CoCreateInstance to active in AtlAxWin, first (DLL loads): %.0f us\n", first);
  std::printf("CoCreateInstance to active in AtlAxWin, %d runs: median %.0f us, p90 %.0f us, min %.0f us\n", runs,
              times[times.size() / 2], times[times.size() * 9 / 10], times.front());
  for (const wchar_t* name : {L"x64\\vorlane.ocx", L"x64\\vorlane.ocx.debug", L"x64\\vorlane.cab", L"x86\\vorlane.ocx",
                              L"x86\\vorlane.cab", L"vorlane.msi"})
    PrintSize(name);
  vorlane::bench::Figure("atl_first_us", first, "-");
  vorlane::bench::Figure("atl_warm_median_us", times[times.size() / 2], "-");
  DestroyWindow(frame);
  OleUninitialize();
  return 0;
}
