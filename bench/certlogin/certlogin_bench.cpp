// Figures for the certificate login, printed, never asserted:
//  - time from Run(window) to the page's put_href through the real control,
//    against a bare handshake and request with the same OpenSSL, engine and
//    certificate, alternating, in the same run;
//  - the process's memory after 1 login against after `attempts`.
//   certlogin_bench.exe [attempts=100]
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <openssl/engine.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_common.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "login_certificates.h"
#include "login_gateway.h"
#include "control/identifiers.h"
#include "personal_store.h"
#include "property_bag.h"
#include "support/win32/wide_text.h"
#include "text.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimedPairs = 20;
using namespace vorlane::host;
using vorlane::ComPtr;
using namespace vorlane::bench;

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Run(window) on a page of the login endpoint; the time until put_href.
double TimedRun(HostedControl& control, const std::u16string& portal) {
  std::atomic<Clock::rep> navigated{0};
  auto page = FakePage::Make(portal, u"Varnex_SSLID=0123456789abcdef0123456789abcdef", [&](const Navigation&) {
    if (navigated == 0) navigated = Clock::now().time_since_epoch().count();
  });
  std::vector<vorlane::Variant> args;
  args.emplace_back();
  V_VT(args.back().Get()) = VT_DISPATCH;
  V_DISPATCH(args.back().Get()) = page->window().Get();
  page->window()->AddRef();
  Clock::time_point start = Clock::now();
  control.Call(u"Run", args);
  if (navigated == 0) Fail("Run did not navigate");
  if (page->Navigations().at(0).url.find(u"/portal/home") == std::u16string::npos) Fail("the login failed");
  return Ms(Clock::time_point(Clock::duration(navigated)) - start);
}

// The same exchange written plainly: handshake with the capi engine's
// certificate, the request, the reply's header block.
double BareExchange(std::uint16_t port, const std::string& request, bool engineForAll = false) {
  Clock::time_point start = Clock::now();
  ENGINE_load_capi();
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  SSL_CTX_set_max_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set1_client_sigalgs_list(context, "RSA+SHA256:RSA+SHA384:RSA+SHA512");
  ENGINE* engine = ENGINE_by_id("capi");
  if (engine && engineForAll) ENGINE_set_default(engine, ENGINE_METHOD_ALL);
  if (!engine || SSL_CTX_set_client_cert_engine(context, engine) != 1) Fail("no capi engine");
  ENGINE_free(engine);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) Fail("bare connect");
  SSL* ssl = SSL_new(context);
  SSL_set_fd(ssl, static_cast<int>(s));
  if (SSL_connect(ssl) != 1) Fail("bare handshake");
  SSL_write(ssl, request.data(), static_cast<int>(request.size()));
  std::string reply;
  char buffer[512];
  while (reply.find("\r\n\r\n") == std::string::npos) {
    int got = SSL_read(ssl, buffer, sizeof buffer);
    if (got <= 0) break;
    reply.append(buffer, static_cast<std::size_t>(got));
  }
  double took = Ms(Clock::now() - start);
  if (reply.find("Location:") == std::string::npos) Fail("bare reply");
  SSL_free(ssl);
  SSL_CTX_free(context);
  closesocket(s);
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  int attempts = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  if (!vorlane::tests::InstallClientCertificate(vorlane::tests::TestLoginCertificates().user,
                                                  L"vorlane-bench-user"))
    Fail("cannot fill the personal store");
  vorlane::tests::LoginGateway gateway;
  if (!gateway.Start()) Fail("no login endpoint");
  std::string origin = "https://127.0.0.1:" + std::to_string(gateway.Port());
  gateway.Script(vorlane::tests::RedirectReply(origin + "/portal/home"));
  std::u16string portal = Utf16(origin) + u"/portals/index.html";
  std::string request = "GET /certLogin HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(gateway.Port()) +
                        "\r\nCookie: Varnex_SSLID=0123456789abcdef0123456789abcdef; SSLVPN_lang=1\r\n\r\n";

  std::unique_ptr<HostedControl> control;
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  if (FAILED(HostedControl::Create({clsid, ControlFile()}, &control))) Fail("no control");
  auto params = ComPtr<PropertyBag>::Adopt(new PropertyBag);
  params->Set(u"type", u"3");
  if (FAILED(control->Initialize(params.Get())) || FAILED(control->Activate())) Fail("control not embedded");

  // Memory: logins alone, so nothing else allocates in between.
  TimedRun(*control, portal);
  PROCESS_MEMORY_COUNTERS afterOne = Memory();
  for (int i = 1; i < attempts; ++i) TimedRun(*control, portal);
  PROCESS_MEMORY_COUNTERS afterAll = Memory();

  // The same for the bare exchange: what the platform itself keeps per login.
  BareExchange(gateway.Port(), request);
  PROCESS_MEMORY_COUNTERS bareAfterOne = Memory();
  for (int i = 1; i < attempts; ++i) BareExchange(gateway.Port(), request);
  PROCESS_MEMORY_COUNTERS bareAfterAll = Memory();

  // The two cookies alone, stored as often as the logins store them.
  auto storeCookies = [&] {
    std::u16string url = Utf16(origin) + u"/";
    InternetSetCookieW(vorlane::AsWide(url), nullptr,
                       L"Varnex_SSLID=0123456789abcdef0123456789abcdef; path=/;expires=Thu, 01-Jan-2037 00:00:01 GMT");
    InternetSetCookieW(vorlane::AsWide(url), nullptr, L"Client_Key=1; path=/");
  };
  storeCookies();
  PROCESS_MEMORY_COUNTERS cookiesAfterOne = Memory();
  for (int i = 1; i < attempts; ++i) storeCookies();
  PROCESS_MEMORY_COUNTERS cookiesAfterAll = Memory();

  // Time: ours and the bare exchange alternating, so both see the same machine.
  std::vector<double> ours, bare;
  for (int i = 0; i < kTimedPairs; ++i) {
    ours.push_back(TimedRun(*control, portal));
    bare.push_back(BareExchange(gateway.Port(), request));
  }
  // Last, as it changes this process's defaults for good: the bare exchange
  // with the engine made the default for every algorithm, as the login does.
  std::vector<double> bareDefault;
  for (int i = 0; i < kTimedPairs; ++i) bareDefault.push_back(BareExchange(gateway.Port(), request, true));
  control->Release();
  gateway.Stop();
  OleUninitialize();

  double oursMedian = Median(ours), bareMedian = Median(bare);
  std::printf("Run to put_href through the control: median %.2f ms over %d logins\n", oursMedian, kTimedPairs);
  std::printf("bare handshake and request, same OpenSSL and certificate: median %.2f ms\n", bareMedian);
  std::printf("bare, the engine the default for every algorithm: median %.2f ms\n", Median(bareDefault));
  std::printf("ratio bare/ours: %.3f (1.0: the exchange adds nothing)\n", bareMedian / oursMedian);
  std::printf("memory after 1 login: private %zu KB, working set %zu KB\n", afterOne.PagefileUsage / 1024,
              afterOne.WorkingSetSize / 1024);
  std::printf("memory after %d logins: private %zu KB, working set %zu KB (growth %+lld KB private)\n", attempts,
              afterAll.PagefileUsage / 1024, afterAll.WorkingSetSize / 1024,
              (static_cast<long long>(afterAll.PagefileUsage) - static_cast<long long>(afterOne.PagefileUsage)) / 1024);
  std::printf("bare exchange alone, after 1 and after %d: private %zu KB, %zu KB (growth %+lld KB)\n", attempts,
              bareAfterOne.PagefileUsage / 1024, bareAfterAll.PagefileUsage / 1024,
              (static_cast<long long>(bareAfterAll.PagefileUsage) -
               static_cast<long long>(bareAfterOne.PagefileUsage)) / 1024);
  std::printf("the two cookies alone, after 1 and after %d: private %zu KB, %zu KB (growth %+lld KB)\n", attempts,
              cookiesAfterOne.PagefileUsage / 1024, cookiesAfterAll.PagefileUsage / 1024,
              (static_cast<long long>(cookiesAfterAll.PagefileUsage) -
               static_cast<long long>(cookiesAfterOne.PagefileUsage)) / 1024);
  return 0;
}
