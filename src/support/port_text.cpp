#include "support/port_text.h"

#include <climits>

namespace vorlane {

std::int32_t PortFromText(const std::optional<std::u16string>& text) {
  if (!text || text->empty()) return kHttpsPort;
  auto it = text->begin();
  auto blank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
  while (it != text->end() && blank(*it)) ++it;
  bool negative = false;
  if (it != text->end() && (*it == u'+' || *it == u'-')) {
    negative = *it == u'-';
    ++it;
  }
  long long value = 0;
  for (; it != text->end() && *it >= u'0' && *it <= u'9'; ++it) {
    value = value * 10 + (*it - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<std::int32_t>(value);
}

}  // namespace vorlane
