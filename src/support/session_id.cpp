#include "support/session_id.h"

namespace vorlane {
namespace {

template <typename Char>
std::optional<std::basic_string<Char>> IdAfter(std::basic_string_view<Char> text, std::basic_string_view<Char> marker) {
  std::size_t at = text.find(marker);
  if (at == std::basic_string_view<Char>::npos) return std::nullopt;
  std::basic_string_view<Char> rest = text.substr(at + marker.size());
  std::size_t length = 0;
  while (length < rest.size() && length < kSessionMaxLength && !EndsSessionId(rest[length])) ++length;
  return std::basic_string<Char>(rest.substr(0, length));
}

}  // namespace

std::optional<std::string> SessionAfterMarker(std::string_view text) {
  return IdAfter(text, std::string_view(kSessionMarker));
}

std::optional<std::u16string> SessionAfterMarker(std::u16string_view text) {
  return IdAfter(text, std::u16string_view(kSessionMarker16));
}

}  // namespace vorlane
