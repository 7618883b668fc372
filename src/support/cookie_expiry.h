#pragma once
// The "expires" attribute of the cookies the control stores for the gateway.
// A fixed date would lie in the past sooner or later and make the browser drop
// the cookie at once; the cookies hold for one year from the moment they are
// written instead, in the cookie date format "Thu, 01-Jan-2027 00:00:01 GMT".
#include <chrono>
#include <string>

namespace vorlane {

// The date one year (same month, day and time; 29 February becomes 1 March)
// after `now`, in UTC, formatted as "Wdy, DD-Mon-YYYY HH:MM:SS GMT".
std::u16string CookieExpiryOneYearAfter(std::chrono::system_clock::time_point now);

// The same for the present moment.
std::u16string CookieExpiry();

}  // namespace vorlane
