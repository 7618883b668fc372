#include "bridge/action_cookie_store.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "support/cookie_expiry.h"

namespace vorlane {
namespace {

struct Recorded final : PageActionSink {
  std::vector<PageAction> actions;
  void Add(PageAction action) override { actions.push_back(std::move(action)); }
};

TEST(CookieDate, ReadsTheCoreDateFormatAsUnixSeconds) {
  EXPECT_EQ(UnixTimeOfCookieDate(u"Fri, 01-Jan-2027 00:00:01 GMT"), 1798761601);
  EXPECT_EQ(UnixTimeOfCookieDate(u"Tue, 29-Feb-2028 23:59:59 GMT"), 1835481599);
  EXPECT_EQ(UnixTimeOfCookieDate(u"Thu, 01 Jan 1970 00:00:00 GMT"), 0);
}

// What the core writes must read back as the moment it meant, for any day.
TEST(CookieDate, RoundTripsCookieExpiryOverSeveralYears) {
  using namespace std::chrono;
  for (std::int64_t t = 1700000000; t < 1700000000 + 4 * 366 * 86400; t += 86400 * 7 + 3607) {
    auto now = system_clock::time_point(seconds(t));
    std::optional<std::int64_t> read = UnixTimeOfCookieDate(CookieExpiryOneYearAfter(now));
    ASSERT_TRUE(read.has_value()) << t;
    std::time_t later = static_cast<std::time_t>(*read);
    std::tm when{};
    gmtime_r(&later, &when);
    std::time_t start = static_cast<std::time_t>(t);
    std::tm then{};
    gmtime_r(&start, &then);
    EXPECT_EQ(when.tm_year, then.tm_year + 1) << t;
    EXPECT_EQ(when.tm_hour * 3600 + when.tm_min * 60 + when.tm_sec, then.tm_hour * 3600 + then.tm_min * 60 + then.tm_sec);
  }
}

TEST(CookieDate, AnythingElseIsNoDate) {
  for (const char16_t* text : {u"", u"Fri, 30-Feb-2027 00:00:01 GMT", u"Fri, 01-Foo-2027 00:00:01 GMT",
                               u"Fri, 01-Jan-2027 24:00:00 GMT", u"Fri, 01-Jan-2027 00:00:01 UTC",
                               u"01-Jan-2027 00:00:01 GMT", u"Fri, 1-Jan-2027 00:00:01 GMT",
                               u"Fri, 01-Jan-2027 00:00:01 GMT trailing"}) {
    EXPECT_FALSE(UnixTimeOfCookieDate(text).has_value()) << std::string(text, text + std::char_traits<char16_t>::length(text));
  }
}

TEST(ActionCookieStore, TheCoreCookiesBecomeSetCookieActionsInOrder) {
  Recorded recorded;
  ActionCookieStore store(recorded);
  store.SetCookie(u"https://gw.example/", u"MAC_Addr=02:00:4C:4F:4F:50; path=/;expires=Fri, 01-Jan-2027 00:00:01 GMT");
  store.SetCookie(u"https://gw.example/portals/x", u"Client_Key=1; path=/");
  store.SetCookie(u"https://gw.example/", u"MAC_Addr=; Secure");
  ASSERT_EQ(recorded.actions.size(), 3u);
  auto first = std::get<SetCookieAction>(recorded.actions[0]);
  EXPECT_EQ(first.url, u"https://gw.example/");
  EXPECT_EQ(first.name, u"MAC_Addr");
  EXPECT_EQ(first.value, u"02:00:4C:4F:4F:50");
  EXPECT_EQ(first.path, u"/");
  EXPECT_EQ(first.expires, 1798761601);
  auto second = std::get<SetCookieAction>(recorded.actions[1]);
  EXPECT_EQ(second.name, u"Client_Key");
  EXPECT_EQ(second.value, u"1");
  EXPECT_EQ(second.path, u"/");
  EXPECT_FALSE(second.expires.has_value()) << "a cookie without expiry stays a session cookie";
  auto third = std::get<SetCookieAction>(recorded.actions[2]);
  EXPECT_EQ(third.value, u"") << "an empty address still goes to the gateway";
  EXPECT_FALSE(third.path.has_value());
}

}  // namespace
}  // namespace vorlane
