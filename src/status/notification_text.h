#pragma once
// The message the status poller sends the control's window, WM_USER+1 with
// a token of the notification hand-over as WPARAM, and the text's format:
// UTF-8 of at most 127 bytes, converted to UTF-16 into a buffer of 128 units.
#include <cstddef>

namespace vorlane {

constexpr unsigned kNotifyMessage = 0x0400 + 1;  // WM_USER+1
constexpr std::size_t kNotificationCapacity = 128;
constexpr std::size_t kNotificationMaxBytes = kNotificationCapacity - 1;

// The platform's UTF-8 decoder. Converts size bytes (no terminator) into
// out[0..capacity): with out null, returns how many units are needed; else
// the units written, or 0 when they do not fit. Sequences that are not valid
// UTF-8 become U+FFFD.
class Utf8Converter {
 public:
  virtual ~Utf8Converter() = default;
  virtual std::size_t ToUtf16(const char* bytes, std::size_t size, char16_t* out, std::size_t capacity) = 0;
};

// Converts the NUL-terminated text into buffer, always terminated, and
// returns its length. A text that would not fit (no sender makes one) is cut
// after 127 bytes, or before the one UTF-8 sequence that straddles that
// point, so that every whole character within 127 bytes is kept.
std::size_t ConvertNotificationText(Utf8Converter& converter, const char* text,
                                    char16_t (&buffer)[kNotificationCapacity]);

}  // namespace vorlane
