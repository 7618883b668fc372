// Status relay through the real control: delay from a reply leaving the local
// client simulator to OnClientMessage reaching the host's event sink, with the
// control embedded in the page host and its poller started by Run.
// Usage: relay_bench [seconds, default 20]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "bench_common.h"
#include "control/identifiers.h"
#include "event_sink.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "installed_updater.h"
#include "local_client/local_client_simulator.h"
#include "common/message_pump.h"
#include "property_bag.h"
#include "text.h"

using namespace std::chrono;
using namespace vorlane::host;
using vorlane::AsWide;
using vorlane::ComPtr;
using vorlane::Variant;
using vorlane::tests::LocalClientSimulator;
using vorlane::tests::PumpFor;

using namespace vorlane::bench;

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  InstallUpdater();  // keeps Run off the download road: only the relay is measured

  LocalClientSimulator client;
  client.SetDefault(LocalClientSimulator::Reply("Busy"));  // polls stay at 500 ms
  if (!client.Start()) Fail("cannot listen on 127.0.0.1:8000");

  std::unique_ptr<HostedControl> control;
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  const IID events = *reinterpret_cast<const IID*>(&vorlane::kEventsIid);
  if (FAILED(HostedControl::Create({clsid, ControlFile()}, &control))) Fail("no control");

  std::mutex mutex;
  std::vector<steady_clock::time_point> arrivals;
  auto sink = ComPtr<EventSink>::Adopt(new EventSink(events, [&](const ReceivedEvent&) {
    auto now = steady_clock::now();
    std::lock_guard lock(mutex);
    arrivals.push_back(now);
  }));
  DWORD cookie = 0;
  auto params = ComPtr<PropertyBag>::Adopt(new PropertyBag);
  params->Set(u"type", u"0");
  if (FAILED(control->Advise(sink.Get(), events, &cookie)) || FAILED(control->Initialize(params.Get())) ||
      FAILED(control->Activate()))
    Fail("control not embedded");

  auto page = FakePage::Make(u"https://127.0.0.1:8443/portals/index.html",
                             u"Varnex_SSLID=0123456789abcdef0123456789abcdef");
  std::vector<Variant> args;
  args.emplace_back();
  V_VT(args.back().Get()) = VT_DISPATCH;
  V_DISPATCH(args.back().Get()) = page->window().Get();
  page->window()->AddRef();
  CallResult run = control->Call(u"Run", args);
  if (FAILED(run.hr) || V_VT(run.value.Get()) != VT_BOOL || !V_BOOL(run.value.Get())) Fail("Run failed");

  PumpFor(static_cast<DWORD>(seconds) * 1000);
  std::vector<Variant> stop;
  stop.emplace_back();
  V_VT(stop.back().Get()) = VT_I2;
  V_I2(stop.back().Get()) = 2;
  control->Call(u"Close", stop);

  auto sent = client.Sent();
  std::vector<double> delays;
  {
    std::lock_guard lock(mutex);
    for (std::size_t i = 0; i < std::min(sent.size(), arrivals.size()); ++i)
      delays.push_back(duration<double, std::milli>(arrivals[i] - sent[i].at).count());
  }
  control->Unadvise(events, cookie);
  control->Release();
  client.Stop();
  OleUninitialize();

  if (delays.empty()) Fail("no replies reached the sink");
  std::sort(delays.begin(), delays.end());
  std::printf("reply to OnClientMessage through the control: %zu replies, median %.3f ms, worst %.3f ms\n",
              delays.size(), delays[delays.size() / 2], delays.back());
  Figure("relay_reply_to_event_median_ms", delays[delays.size() / 2], "-");
  return 0;
}
