// GetPCHardInfo against a scripted WMI: which step fails, the adapters and
// their "MACAddress" values, the page's host and the clock. The cookie
// holds at most 32 characters of the first adapter's address and expires a
// year after it is written; every WMI reference is released, also when a
// call runs out of memory.
//
// Input (read with FuzzedDataProvider): the status of each WMI step, the
// adapters, the page's host and the time.
#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <new>
#include <string>

#include "fuzz_input.h"
#include "identity/fake_location.h"
#include "identity/fake_wmi.h"
#include "identity/hard_info.h"
#include "identity/mac_probe.h"

namespace vorlane::fuzz {
namespace {

ComStatus StatusFrom(FuzzedDataProvider& in) {
  return in.ConsumeIntegralInRange(0, 7) == 0 ? tests::kFailed : 0;
}

// "Wdy, DD-Mon-YYYY HH:MM:SS GMT" a year after `seconds`, by the C library.
std::u16string ExpiryByCLibrary(std::time_t seconds) {
  std::tm date{};
  gmtime_r(&seconds, &date);
  const bool leapDay = date.tm_mon == 1 && date.tm_mday == 29;
  date.tm_year += 1;
  if (leapDay) {
    date.tm_mon = 2;
    date.tm_mday = 1;
  }
  std::time_t later = timegm(&date);
  gmtime_r(&later, &date);
  char text[64];
  std::size_t n = std::strftime(text, sizeof text, "%a, %d-%b-%Y %H:%M:%S GMT", &date);
  return std::u16string(text, text + n);
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  FuzzedDataProvider in(data, size);
  tests::FakeWmi wmi;
  wmi.createLocator = StatusFrom(in);
  wmi.connectServer = StatusFrom(in);
  wmi.proxyBlanket = StatusFrom(in);
  wmi.execQuery = StatusFrom(in);
  wmi.nextFailure = StatusFrom(in);
  wmi.nextTimesOut = in.ConsumeIntegralInRange(0, 7) == 0;
  constexpr const char* kCalls[] = {"CreateLocator", "ConnectServer", "SetProxyBlanket", "ExecQuery", "Next", "Get"};
  if (in.ConsumeIntegralInRange(0, 15) == 0) wmi.throwAt = in.PickValueInArray(kCalls);
  for (int adapters = in.ConsumeIntegralInRange(0, 3); adapters > 0; --adapters) {
    tests::FakeAdapter adapter;
    adapter.getStatus = StatusFrom(in);
    if (in.ConsumeIntegralInRange(0, 7) != 0) adapter.mac = Wide(in.ConsumeRandomLengthString(80));
    wmi.adapters.push_back(adapter);
  }
  const int page = in.ConsumeIntegralInRange(0, 3);  // 0: no location; 1: no host; else the host
  std::optional<std::u16string> host;
  if (page >= 2) host = Wide(in.ConsumeRandomLengthString(300));
  const std::int64_t seconds = in.ConsumeIntegralInRange<std::int64_t>(0, 4102444800);  // to 2100
  const auto now = std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
  tests::FakePage location = tests::LocationAt(host);
  tests::FakeCookieStore cookies;

  bool ranOut = false;
  try {
    GetPCHardInfo(wmi, page == 0 ? nullptr : &location, cookies, now);
  } catch (const std::bad_alloc&) {
    ranOut = true;
  }
  Require(!ranOut || !wmi.throwAt.empty(), "only a call that runs out of memory throws");
  Require(wmi.held == 0, "every WMI reference is released", std::to_string(wmi.held));

  // The address, worked out from the script: the first adapter's, when every
  // step up to it worked.
  std::u16string mac;
  const bool reached = !IsFailure(wmi.createLocator) && !IsFailure(wmi.connectServer) &&
                       !IsFailure(wmi.execQuery) && wmi.nextFailure == 0 && !wmi.nextTimesOut &&
                       !wmi.adapters.empty();
  if (reached && !IsFailure(wmi.adapters[0].getStatus) && wmi.adapters[0].mac) {
    mac = wmi.adapters[0].mac->substr(0, std::min<std::size_t>(kMacAddressLength, wmi.adapters[0].mac->find(u'\0')));
  }

  if (ranOut || page == 0 || !host || host->empty()) {
    Require(cookies.stored.empty() && location.replaced.empty(), "no host, no cookie and no navigation");
    return 0;
  }
  const std::u16string url = u"https://" + *host + u"/";
  const std::u16string cookie = u"MAC_Addr=" + mac + u"; path=/;expires=" + ExpiryByCLibrary(seconds);
  Require(cookies.stored.size() == 1 && cookies.stored[0].url == url, "one cookie, for the page's host",
          Shown(url));
  Require(cookies.stored[0].data == cookie, "the cookie holds the address and its date a year on",
          Shown(cookies.stored[0].data) + " instead of " + Shown(cookie));
  Require(location.replaced == std::vector<std::u16string>{url + u"verify"}, "the page goes to verify, once",
          Shown(url));
  return 0;
}
