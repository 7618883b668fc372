#pragma once
// Case in the ASCII letters only: host names, schemes and member names
// compare without regard to it, whatever the user's locale.
namespace vorlane {

constexpr char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

}  // namespace vorlane
