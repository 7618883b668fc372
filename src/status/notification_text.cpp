#include "status/notification_text.h"

#include <cstring>

namespace vorlane {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t ConvertNotificationText(Utf8Converter& converter, const char* text,
                                    char16_t (&buffer)[kNotificationCapacity]) {
  buffer[0] = 0;
  std::size_t size = std::strlen(text);
  if (size == 0) return 0;
  if (converter.ToUtf16(text, size, nullptr, 0) >= kNotificationCapacity) {
    // UTF-8 never gives more UTF-16 units than it has bytes, so 127 bytes fit.
    size = kNotificationMaxBytes;
    while (size > 0 && IsContinuation(text[size])) --size;
  }
  std::size_t written = converter.ToUtf16(text, size, buffer, kNotificationCapacity - 1);
  buffer[written] = 0;
  return written;
}

}  // namespace vorlane
