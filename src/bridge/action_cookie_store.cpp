#include "bridge/action_cookie_store.h"

#include <chrono>

namespace vorlane {
namespace {

std::u16string Trimmed(const std::u16string& text) {
  std::size_t begin = text.find_first_not_of(u' ');
  if (begin == std::u16string::npos) return {};
  return text.substr(begin, text.find_last_not_of(u' ') - begin + 1);
}

std::u16string Lowered(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return text;
}

// Reads digits at `at`, exactly `count` of them.
std::optional<int> Digits(const std::u16string& text, std::size_t& at, std::size_t count) {
  int value = 0;
  for (std::size_t i = 0; i < count; ++i, ++at) {
    if (at >= text.size() || text[at] < u'0' || text[at] > u'9') return std::nullopt;
    value = value * 10 + (text[at] - u'0');
  }
  return value;
}

bool Expect(const std::u16string& text, std::size_t& at, char16_t c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

bool Separator(const std::u16string& text, std::size_t& at) {
  return Expect(text, at, u'-') || Expect(text, at, u' ');
}

}  // namespace

std::optional<std::int64_t> UnixTimeOfCookieDate(const std::u16string& date) {
  static constexpr char16_t kMonths[12][4] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                              u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  std::size_t comma = date.find(u", ");
  if (comma == std::u16string::npos) return std::nullopt;
  std::size_t at = comma + 2;
  auto day = Digits(date, at, 2);
  if (!day || !Separator(date, at) || at + 3 > date.size()) return std::nullopt;
  std::u16string monthName = date.substr(at, 3);
  at += 3;
  unsigned month = 0;
  for (unsigned m = 0; m < 12; ++m) {
    if (monthName == kMonths[m]) month = m + 1;
  }
  std::optional<int> year;
  if (month == 0 || !Separator(date, at) || !(year = Digits(date, at, 4)) || !Expect(date, at, u' ')) {
    return std::nullopt;
  }
  auto hours = Digits(date, at, 2);
  if (!hours || !Expect(date, at, u':')) return std::nullopt;
  auto minutes = Digits(date, at, 2);
  if (!minutes || !Expect(date, at, u':')) return std::nullopt;
  auto seconds = Digits(date, at, 2);
  if (!seconds || date.substr(at) != u" GMT" || *hours > 23 || *minutes > 59 || *seconds > 59) return std::nullopt;
  std::chrono::year_month_day ymd{std::chrono::year(*year), std::chrono::month(month),
                                  std::chrono::day(static_cast<unsigned>(*day))};
  if (!ymd.ok()) return std::nullopt;
  auto days = std::chrono::sys_days(ymd).time_since_epoch().count();
  return static_cast<std::int64_t>(days) * 86400 + *hours * 3600 + *minutes * 60 + *seconds;
}

SetCookieAction CookieAction(const std::u16string& url, const std::u16string& data) {
  SetCookieAction cookie;
  cookie.url = url;
  std::size_t end = data.find(u';');
  std::u16string pair = data.substr(0, end);
  std::size_t equals = pair.find(u'=');
  cookie.name = Trimmed(pair.substr(0, equals));
  if (equals != std::u16string::npos) cookie.value = Trimmed(pair.substr(equals + 1));
  while (end != std::u16string::npos) {
    std::size_t next = data.find(u';', end + 1);
    std::u16string attribute = data.substr(end + 1, next == std::u16string::npos ? next : next - end - 1);
    end = next;
    std::size_t split = attribute.find(u'=');
    std::u16string key = Lowered(Trimmed(attribute.substr(0, split)));
    std::u16string value = split == std::u16string::npos ? u"" : Trimmed(attribute.substr(split + 1));
    if (key == u"path") cookie.path = value;
    if (key == u"expires") cookie.expires = UnixTimeOfCookieDate(value);
  }
  return cookie;
}

}  // namespace vorlane
