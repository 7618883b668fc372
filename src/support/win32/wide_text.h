#pragma once
// Our UTF-16 text as the Windows API's wchar_t text and back: on Windows both
// are the same 16-bit units, so the views are casts, never copies.
#include <string>

namespace vorlane {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline const wchar_t* AsWide(const std::u16string& text) { return AsWide(text.c_str()); }
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* AsUtf16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

}  // namespace vorlane
