#include "support/cookie_expiry.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using namespace std::chrono;

system_clock::time_point At(year_month_day date, hours h, minutes m, seconds s) {
  return sys_days{date} + h + m + s;
}

TEST(CookieExpiry, NamesTheSameMomentOneYearLaterInCookieDateFormat) {
  EXPECT_EQ(CookieExpiryOneYearAfter(At(2026y / December / 9, 21h, 55min, 17s)),
            u"Thu, 09-Dec-2027 21:55:17 GMT");
  EXPECT_EQ(CookieExpiryOneYearAfter(At(2026y / January / 1, 0h, 0min, 1s)),
            u"Fri, 01-Jan-2027 00:00:01 GMT");
  // Fractions of a second are dropped, never rounded into the next second.
  EXPECT_EQ(CookieExpiryOneYearAfter(At(2026y / March / 5, 23h, 59min, 59s) + milliseconds(999)),
            u"Fri, 05-Mar-2027 23:59:59 GMT");
}

TEST(CookieExpiry, LeapDayBecomesTheFirstOfMarch) {
  EXPECT_EQ(CookieExpiryOneYearAfter(At(2028y / February / 29, 12h, 0min, 0s)),
            u"Thu, 01-Mar-2029 12:00:00 GMT");
  EXPECT_EQ(CookieExpiryOneYearAfter(At(2027y / February / 28, 12h, 0min, 0s)),
            u"Mon, 28-Feb-2028 12:00:00 GMT");
}

TEST(CookieExpiry, PresentMomentLiesAYearAhead) {
  const auto before = system_clock::now();
  const std::u16string text = CookieExpiry();
  const auto after = system_clock::now();
  EXPECT_TRUE(text == CookieExpiryOneYearAfter(before) || text == CookieExpiryOneYearAfter(after))
      << std::string(text.begin(), text.end());
}

}  // namespace
}  // namespace vorlane
