// Figures for the certificate login, printed, never asserted:
//  - time from Run(window) to the page's put_href through the real control,
//    against the same work done plainly: handshake and request with the same
//    OpenSSL, engine and certificate, and the same two cookies stored,
//    alternating, in the same run;
//  - the same plain exchange with the engine made the default for every
//    algorithm, as the login does. That default is process-wide in the
//    library copy it is set in, so it is set in a child process: the gateway
//    simulator's copy here stays as it was, as the control's own copy (in
//    vorlane.ocx) leaves it;
//  - the process's private memory after 1 login against after `attempts`,
//    each read once the gateway has seen the connection close and let go of
//    its thread; the growth per login of the control minus the plain
//    exchange's.
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
#include "common/child_process.h"
#include "common/unmanaged_windows.h"
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

// The two cookies the login stores, as it stores them.
void StoreCookies(const std::string& origin) {
  std::u16string url = Utf16(origin) + u"/";
  InternetSetCookieW(vorlane::AsWide(url), nullptr,
                     L"Varnex_SSLID=0123456789abcdef0123456789abcdef; path=/;expires=Thu, 01-Jan-2037 00:00:01 GMT");
  InternetSetCookieW(vorlane::AsWide(url), nullptr, L"Client_Key=1; path=/");
}

// The same exchange written plainly: handshake with the capi engine's
// certificate, the request, the reply's header block, the two cookies.
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
  if (reply.find("Location:") == std::string::npos) Fail("bare reply");
  StoreCookies("https://127.0.0.1:" + std::to_string(port));
  double took = Ms(Clock::now() - start);
  SSL_free(ssl);
  SSL_CTX_free(context);
  closesocket(s);
  return took;
}

std::string RequestFor(std::uint16_t port) {
  return "GET /certLogin HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
         "\r\nCookie: Varnex_SSLID=0123456789abcdef0123456789abcdef; SSLVPN_lang=1\r\n\r\n";
}

// Waits (bounded) until the gateway has let go of `connections` connections'
// threads, then a moment more for what the client side frees late.
void Settle(const vorlane::tests::LoginGateway& gateway, std::size_t connections) {
  for (int i = 0; i < 500 && gateway.EndedConnections().size() < connections; ++i) Sleep(10);
  if (gateway.EndedConnections().size() < connections) Fail("the gateway's connections did not end");
  Sleep(100);
}

long long PrivateBytes() { return static_cast<long long>(Memory().PagefileUsage); }

// The child: `count` bare exchanges with the engine the default for every
// algorithm, each time on a line of its own.
int BareWithEngineDefault(std::uint16_t port, int count) {
  WSADATA winsock;
  if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) Fail("no Winsock");
  for (int i = 0; i < count; ++i) std::printf("took %.4f\n", BareExchange(port, RequestFor(port), true));
  return 0;
}

std::vector<double> BareWithEngineDefaultInChild(std::uint16_t port, int count) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::u16string command(u"\"");
  command += vorlane::AsUtf16(self);
  command += u"\" --bare-default " + Utf16(std::to_string(port) + " " + std::to_string(count));
  vorlane::tests::ProgramRun run = vorlane::tests::RunAndCapture(command, 120000);
  std::vector<double> took;
  for (const std::string& line : run.lines)
    if (line.rfind("took ", 0) == 0) took.push_back(std::atof(line.c_str() + 5));
  if (run.exitCode != 0 || took.size() != static_cast<std::size_t>(count)) {
    for (const std::string& line : run.lines) std::fprintf(stderr, "child: %s\n", line.c_str());
    std::fprintf(stderr, "child exit code %lu\n", run.exitCode);
    Fail("the engine-default child failed");
  }
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 3 && std::string(argv[1]) == "--bare-default")
    return BareWithEngineDefault(static_cast<std::uint16_t>(std::atoi(argv[2])), std::atoi(argv[3]));
  int attempts = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;
  vorlane::tests::LeaveWindowsUnmanagedUnderWine();  // before the first window
  if (FAILED(OleInitialize(nullptr))) Fail("no OLE");
  if (!vorlane::tests::InstallClientCertificate(vorlane::tests::TestLoginCertificates().user,
                                                  L"vorlane-bench-user"))
    Fail("cannot fill the personal store");
  vorlane::tests::LoginGateway gateway;
  if (!gateway.Start()) Fail("no login endpoint");
  std::string origin = "https://127.0.0.1:" + std::to_string(gateway.Port());
  gateway.Script(vorlane::tests::RedirectReply(origin + "/portal/home"));
  std::u16string portal = Utf16(origin) + u"/portals/index.html";
  const std::string request = RequestFor(gateway.Port());

  std::unique_ptr<HostedControl> control;
  const CLSID clsid = *reinterpret_cast<const CLSID*>(&vorlane::kControlClsid);
  if (FAILED(HostedControl::Create({clsid, ControlFile()}, &control))) Fail("no control");
  auto params = ComPtr<PropertyBag>::Adopt(new PropertyBag);
  params->Set(u"type", u"3");
  if (FAILED(control->Initialize(params.Get())) || FAILED(control->Activate())) Fail("control not embedded");

  // Memory: logins alone, so nothing else allocates in between; each figure
  // read once the connections so far have ended on both sides.
  std::size_t connections = 0;
  TimedRun(*control, portal);
  Settle(gateway, ++connections);
  const long long afterOne = PrivateBytes();
  for (int i = 1; i < attempts; ++i) TimedRun(*control, portal);
  Settle(gateway, connections += attempts - 1);
  const long long afterAll = PrivateBytes();

  // The same for the plain exchange: what the platform itself keeps per login.
  BareExchange(gateway.Port(), request);
  Settle(gateway, ++connections);
  const long long bareAfterOne = PrivateBytes();
  for (int i = 1; i < attempts; ++i) BareExchange(gateway.Port(), request);
  Settle(gateway, connections += attempts - 1);
  const long long bareAfterAll = PrivateBytes();

  // Time: ours and the plain exchange alternating, so both see the same machine.
  std::vector<double> ours, bare;
  for (int i = 0; i < kTimedPairs; ++i) {
    ours.push_back(TimedRun(*control, portal));
    bare.push_back(BareExchange(gateway.Port(), request));
  }
  const std::vector<double> bareDefault = BareWithEngineDefaultInChild(gateway.Port(), kTimedPairs);
  control->Release();
  gateway.Stop();
  OleUninitialize();

  const double oursMedian = Median(ours), bareMedian = Median(bare);
  const double perLoginKb = (afterAll - afterOne) / 1024.0 / (attempts - 1);
  const double barePerLoginKb = (bareAfterAll - bareAfterOne) / 1024.0 / (attempts - 1);
  std::printf("Run to put_href through the control: median %.2f ms over %d logins\n", oursMedian, kTimedPairs);
  std::printf("plain exchange and the two cookies, same OpenSSL and certificate: median %.2f ms\n", bareMedian);
  std::printf("the same, the engine the default for every algorithm (child process): median %.2f ms\n",
              Median(bareDefault));
  std::printf("ratio plain/ours: %.3f (1.0: the control adds nothing)\n", bareMedian / oursMedian);
  std::printf("private memory through the control, after 1 and after %d logins: %lld KB, %lld KB (%+.2f KB per login)\n",
              attempts, afterOne / 1024, afterAll / 1024, perLoginKb);
  std::printf("private memory, plain exchange, after 1 and after %d: %lld KB, %lld KB (%+.2f KB per login)\n", attempts,
              bareAfterOne / 1024, bareAfterAll / 1024, barePerLoginKb);
  Figure("certlogin_control_median_ms", oursMedian, "-");
  Figure("certlogin_bare_median_ms", bareMedian, "-");
  Figure("certlogin_bare_engine_default_median_ms", Median(bareDefault), "-");
  Figure("certlogin_bare_over_control", bareMedian / oursMedian, ">=0.9");
  Figure("certlogin_growth_per_login_minus_bare_kb", perLoginKb - barePerLoginKb, "<=2");
  return 0;
}
