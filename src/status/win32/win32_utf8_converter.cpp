#include "status/win32/win32_utf8_converter.h"

#include <windows.h>

namespace vorlane {

std::size_t Win32Utf8Converter::ToUtf16(const char* bytes, std::size_t size, char16_t* out, std::size_t capacity) {
  if (size == 0) return 0;
  int written = MultiByteToWideChar(CP_UTF8, 0, bytes, int(size), reinterpret_cast<wchar_t*>(out),
                                    out ? int(capacity) : 0);
  return written > 0 ? std::size_t(written) : 0;
}

}  // namespace vorlane
