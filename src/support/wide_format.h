#pragma once
// printf-style formatting into fixed-capacity UTF-16 buffers, without the heap.
//
// The system formats its paths, command lines and log lines into buffers whose
// capacities are part of its behaviour, so the formatter reports "does not fit"
// instead of growing. %s takes a const char16_t* (wide text, as on Windows).
#include <cstdarg>
#include <cstddef>

namespace vorlane {

// Formats into out[0..capacity). Returns the number of characters written,
// without the terminator, or -1 when the result (plus terminator) does not fit
// or the format holds a directive this formatter does not know. On -1 the
// buffer holds an empty string when capacity > 0.
int FormatWideV(char16_t* out, std::size_t capacity, const char16_t* format, va_list args);
int FormatWide(char16_t* out, std::size_t capacity, const char16_t* format, ...);

// Length of a NUL-terminated wide text.
std::size_t WideLength(const char16_t* text);

}  // namespace vorlane
