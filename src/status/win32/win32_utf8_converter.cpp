#include "status/win32/win32_utf8_converter.h"

#include <windows.h>

#include "support/win32/wide_text.h"

namespace vorlane {

std::size_t Win32Utf8Converter::ToUtf16(const char* bytes, std::size_t size, char16_t* out, std::size_t capacity) {
  if (size == 0) return 0;
  int written = MultiByteToWideChar(CP_UTF8, 0, bytes, int(size), AsWide(out),
                                    out ? int(capacity) : 0);
  return written > 0 ? std::size_t(written) : 0;
}

}  // namespace vorlane
