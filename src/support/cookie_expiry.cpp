#include "support/cookie_expiry.h"

#include <cstdio>

namespace vorlane {
namespace {

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::u16string CookieExpiryOneYearAfter(std::chrono::system_clock::time_point now) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(now);
  const auto day = floor<days>(seconds);
  const year_month_day date{day};
  const hh_mm_ss time{seconds - day};

  year_month_day later = date + years{1};
  if (!later.ok()) later = sys_days{later.year() / later.month() / last} + days{1};
  const weekday wd{sys_days{later}};

  char text[40];
  const int n = std::snprintf(text, sizeof text, "%s, %02u-%s-%04d %02d:%02d:%02d GMT",
                              kWeekdays[wd.c_encoding()], static_cast<unsigned>(later.day()),
                              kMonths[static_cast<unsigned>(later.month()) - 1],
                              static_cast<int>(later.year()), static_cast<int>(time.hours().count()),
                              static_cast<int>(time.minutes().count()),
                              static_cast<int>(time.seconds().count()));
  return std::u16string(text, text + (n > 0 ? n : 0));
}

std::u16string CookieExpiry() { return CookieExpiryOneYearAfter(std::chrono::system_clock::now()); }

}  // namespace vorlane
