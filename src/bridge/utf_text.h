#pragma once
// The JSON texts of the wire are UTF-8; the core's texts are UTF-16.
#include <string>

namespace vorlane {

// Ill-formed sequences become U+FFFD (the parser lets none through).
std::u16string Utf16FromUtf8(const std::string& text);
// An unpaired surrogate becomes U+FFFD, so the result is always valid UTF-8.
std::string Utf8FromUtf16(const std::u16string& text);

}  // namespace vorlane
