#pragma once
// A port number as text, the page location's port above all: the same rule
// wherever the system reads one.
#include <cstdint>
#include <optional>
#include <string>

namespace vorlane {

constexpr std::int32_t kHttpsPort = 443;

// 443 when the text is absent or empty, otherwise the decimal number at its
// start (leading white space and a sign allowed; no digits give 0;
// out-of-range values saturate like the C library does).
std::int32_t PortFromText(const std::optional<std::u16string>& text);

}  // namespace vorlane
