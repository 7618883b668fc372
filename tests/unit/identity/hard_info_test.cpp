#include "identity/hard_info.h"

#include <gmock/gmock.h>

#include <functional>

#include "fake_location.h"
#include "probe_test.h"
#include "support/cookie_expiry.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using tests::FakeAdapter;
using tests::FakeCookieStore;
using tests::FakePage;
using tests::LocationAt;
using tests::FakeWmi;
using tests::kFailed;
using tests::StoredCookie;

// 9 December 2026, 22:00:00 UTC: the cookie holds until 9 December 2027.
const std::chrono::system_clock::time_point kNow =
    std::chrono::sys_days{std::chrono::year{2026} / 12 / 9} + std::chrono::hours{22};
const std::u16string kAttributes = u"; path=/;expires=Thu, 09-Dec-2027 22:00:00 GMT";

class GetPCHardInfo_ : public tests::ProbeTest {
 protected:
  void Call(Page* location) { GetPCHardInfo(wmi_, location, cookies_, kNow); }

  FakePage location_ = LocationAt(u"gw.example");
  FakeCookieStore cookies_;
};

TEST_F(GetPCHardInfo_, StoresTheAddressForTheHostAndReplacesThePageWithVerify) {
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  Call(&location_);
  EXPECT_THAT(cookies_.stored,
              ElementsAre(StoredCookie{u"https://gw.example/", u"MAC_Addr=00:11:22:33:44:55" + kAttributes}));
  EXPECT_THAT(location_.replaced, ElementsAre(u"https://gw.example/verify"));
  EXPECT_THAT(Logged(), IsEmpty());
  EXPECT_EQ(0, wmi_.held);
}

TEST_F(GetPCHardInfo_, CookieExpiresOneYearAfterItIsWritten) {
  // Any fixed date would lie in the past some day, and the browser would
  // drop the cookie at once.
  const auto now = std::chrono::system_clock::now();
  EXPECT_EQ(u"MAC_Addr=x; path=/;expires=" + CookieExpiryOneYearAfter(now), MacCookieText(u"x", now));
  EXPECT_EQ(u"MAC_Addr=" + kAttributes, MacCookieText(u"", kNow));
}

// Each failure of the probe: its log lines in order, every reference
// released, and the cookie stored with an empty value (or the address, where
// the query still ran) and the page sent to the verify address all the same.
struct FailureRow {
  const char* name;
  std::function<void(FakeWmi&)> script;
  std::vector<std::string> logged;
  std::u16string mac;
};

class ProbeFailure : public GetPCHardInfo_, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(ProbeFailure, LogsItsLinesAndStillStoresTheCookieAndNavigates) {
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  GetParam().script(wmi_);
  Call(&location_);
  EXPECT_EQ(GetParam().logged, Logged());
  EXPECT_THAT(cookies_.stored, ElementsAre(StoredCookie{u"https://gw.example/", u"MAC_Addr=" + GetParam().mac + kAttributes}));
  EXPECT_THAT(location_.replaced, ElementsAre(u"https://gw.example/verify"));
  EXPECT_EQ(0, wmi_.held);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProbeFailure,
    ::testing::Values(
        FailureRow{"NoLocator", [](FakeWmi& w) { w.createLocator = kFailed; },
                   {"CreateInstance failed!", "WbemSvr is null"}, u""},
        FailureRow{"NoNamespace", [](FakeWmi& w) { w.connectServer = kFailed; },
                   {"ConnectServer failed!", "WbemSvr is null"}, u""},
        FailureRow{"NoProxySecurity", [](FakeWmi& w) { w.proxyBlanket = kFailed; }, {"CoSetProxyBlanket failed!"},
                   u"00:11:22:33:44:55"},
        FailureRow{"QueryFails", [](FakeWmi& w) { w.execQuery = kFailed; }, {"Query failed!"}, u""},
        FailureRow{"NoConnectedAdapter", [](FakeWmi& w) { w.adapters.clear(); }, {"Get addr failed"}, u""},
        FailureRow{"NextFails", [](FakeWmi& w) { w.nextFailure = kFailed; }, {"Get addr failed"}, u""},
        FailureRow{"NextTimesOut", [](FakeWmi& w) { w.nextTimesOut = true; }, {"Get addr failed"}, u""},
        FailureRow{"AddressUnreadable", [](FakeWmi& w) { w.adapters[0].getStatus = kFailed; }, {}, u""},
        FailureRow{"AddressNotAString", [](FakeWmi& w) { w.adapters[0].mac.reset(); }, {}, u""}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

TEST_F(GetPCHardInfo_, HttpPageOnAnotherPortGetsHttpsWithTheHostAndPortItReports) {
  FakePage location = LocationAt(u"gw.example:8080");  // the page is http://gw.example:8080/portals/
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  Call(&location);
  ASSERT_EQ(1u, cookies_.stored.size());
  EXPECT_EQ(u"https://gw.example:8080/", cookies_.stored[0].url);
  EXPECT_THAT(location.replaced, ElementsAre(u"https://gw.example:8080/verify"));
}

TEST_F(GetPCHardInfo_, SomethingElseThanALocationEndsTheCallAfterTheProbe) {
  // The window was passed: the probe runs and logs as usual, nothing else happens.
  wmi_.adapters.clear();
  Call(nullptr);
  EXPECT_THAT(Logged(), ElementsAre("Get addr failed"));
  EXPECT_THAT(wmi_.journal, ::testing::Contains("Next 10000ms"));
  EXPECT_THAT(cookies_.stored, IsEmpty());
  EXPECT_EQ(0, wmi_.held);
}

TEST_F(GetPCHardInfo_, WithoutAHostNeitherCookieNorNavigation) {
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  for (std::optional<std::u16string> host : {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
    FakePage location = LocationAt(host);
    Call(&location);
    EXPECT_EQ(1, location.reads);
    EXPECT_THAT(location.replaced, IsEmpty());
  }
  EXPECT_THAT(cookies_.stored, IsEmpty());
  EXPECT_EQ(0, wmi_.held);
}

TEST_F(GetPCHardInfo_, RunningOutOfMemoryInTheProbeStoresNothingAndReleasesEverything) {
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  wmi_.throwAt = "ExecQuery";
  EXPECT_THROW(Call(&location_), std::bad_alloc);
  EXPECT_THAT(cookies_.stored, IsEmpty());
  EXPECT_THAT(location_.replaced, IsEmpty());
  EXPECT_EQ(0, wmi_.held);
}

TEST_F(GetPCHardInfo_, HoldsALongHostWhole) {
  const std::u16string host = std::u16string(1100, u'h') + u".example";
  FakePage location = LocationAt(host);
  Call(&location);
  ASSERT_EQ(1u, cookies_.stored.size());
  EXPECT_EQ(u"https://" + host + u"/", cookies_.stored[0].url);
  EXPECT_THAT(location.replaced, ElementsAre(u"https://" + host + u"/verify"));
}

}  // namespace
}  // namespace vorlane
