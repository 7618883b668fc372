// GetPCHardInfo through the real control, one IDispatch call with the page's
// location, against the least work the job needs done plainly: a WMI query
// of the same adapter (locator, connection, query, first object,
// "MACAddress") and one cookie write with an expiry, in the same run,
// alternating so both see the same WMI. Figures: median and mean per call,
// the cookie store's own cost, and bare / GetPCHardInfo (1.0 means the
// control adds nothing to the platform's cost).
// Usage: hard_info_bench [calls of each, default 200]
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "bench_common.h"
#include "common/unmanaged_windows.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "control/identifiers.h"
#include "text.h"
#include "common/wmi_reference.h"

using namespace std::chrono;
using namespace vorlane::host;
using vorlane::AsWide;
using namespace vorlane::bench;

namespace {

double Mean(const std::vector<double>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

template <typename Body>
double MillisecondsOf(Body body) {
  const auto start = steady_clock::now();
  body();
  return duration<double, std::milli>(steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int calls = std::max(1, argc > 1 ? std::atoi(argv[1]) : 200);
  vorlane::tests::LeaveWindowsUnmanagedUnderWine();  // before the first window
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  const std::u16string file = ControlFile();
  if (!LoadLibraryW(AsWide(file))) Fail("cannot load vorlane.ocx beside the program");

  std::unique_ptr<HostedControl> control;
  if (FAILED(HostedControl::Create({clsid, file}, &control)) || FAILED(control->Initialize(nullptr)) ||
      FAILED(control->Activate()))
    Fail("control not embedded");
  std::optional<FakePage> page = FakePage::Make(u"https://gw.example:8443/portals/index.html", std::nullopt);
  if (!page) Fail("no page");
  const std::optional<std::u16string> mac = vorlane::tests::FirstConnectedAdapterMac();
  if (!mac) Fail("WMI names no connected adapter");

  const std::u16string cookie = u"MAC_Addr=" + *mac + u"; path=/;expires=Thu, 09-Dec-2027 22:00:00 GMT";
  std::vector<double> control_ms, bare_ms, cookie_ms;
  for (int i = 0; i < calls; ++i) {
    control_ms.push_back(MillisecondsOf([&] {
      std::vector<vorlane::Variant> args(1);
      V_VT(args[0].Get()) = VT_DISPATCH;
      V_DISPATCH(args[0].Get()) = page->location().Get();
      page->location()->AddRef();
      if (FAILED(control->Call(u"GetPCHardInfo", args).hr)) Fail("GetPCHardInfo failed");
    }));
    bare_ms.push_back(MillisecondsOf([&] {
      const std::optional<std::u16string> asked = vorlane::tests::FirstConnectedAdapterMac();
      if (asked != mac) Fail("WMI changed its answer");
      const std::u16string written = u"MAC_Addr=" + *asked + u"; path=/;expires=Thu, 09-Dec-2027 22:00:00 GMT";
      if (!InternetSetCookieW(L"https://bench.example/", nullptr, AsWide(written))) Fail("cookie not stored");
    }));
    // The cookie write alone, to show how much of either side it is.
    cookie_ms.push_back(MillisecondsOf([&] { InternetSetCookieW(L"https://bench.example/", nullptr, AsWide(cookie)); }));
  }
  if (page->Navigations().size() != static_cast<std::size_t>(calls)) Fail("a call did not navigate");

  std::printf("adapter MACAddress:        %s\n", Utf8(*mac).c_str());
  std::printf("GetPCHardInfo(location):   median %.3f ms, mean %.3f ms (%d calls)\n", Median(control_ms),
              Mean(control_ms), calls);
  std::printf("bare WMI query + cookie:    median %.3f ms, mean %.3f ms (%d calls)\n", Median(bare_ms), Mean(bare_ms),
              calls);
  std::printf("InternetSetCookieW alone:  median %.3f ms, mean %.3f ms (%d calls)\n", Median(cookie_ms),
              Mean(cookie_ms), calls);
  std::printf("bare / GetPCHardInfo:      %.3f (medians), %.3f (means)\n", Median(bare_ms) / Median(control_ms),
              Mean(bare_ms) / Mean(control_ms));
  Figure("hardinfo_control_median_ms", Median(control_ms), "-");
  Figure("hardinfo_bare_median_ms", Median(bare_ms), "-");
  Figure("hardinfo_bare_over_control", Median(bare_ms) / Median(control_ms), ">=0.9");

  control->Release();
  OleUninitialize();
  return 0;
}
