#include "status/notification_text.h"

#include <cstring>

namespace vorlane {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes in the sequence a lead byte opens; 0 for bytes that open none.
std::size_t SequenceLength(char c) {
  auto b = static_cast<unsigned char>(c);
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

// Whether `next` may follow the lead byte: the second byte's range leaves
// out over-long forms, surrogates and code points above U+10FFFF. A lead
// byte followed otherwise is an ill-formed byte of its own (one U+FFFD).
bool ContinuesLead(char lead, char next) {
  auto b = static_cast<unsigned char>(lead), n = static_cast<unsigned char>(next);
  unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
  unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
  return n >= low && n <= high;
}

// Where to cut a text longer than 127 bytes: before the one sequence that
// straddles byte 127, if there is one. Continuation bytes that belong to no
// lead byte, and a lead byte whose next byte cannot follow it, are
// characters of their own (each a U+FFFD) and are kept.
std::size_t CutPoint(const char* text) {
  std::size_t cut = kNotificationMaxBytes;
  if (!IsContinuation(text[cut])) return cut;
  std::size_t lead = cut;
  while (lead > 0 && cut - lead < 3 && IsContinuation(text[lead - 1])) --lead;
  if (lead == 0) return cut;
  --lead;
  bool straddles = lead + SequenceLength(text[lead]) > cut && ContinuesLead(text[lead], text[lead + 1]);
  return straddles ? lead : cut;
}

}  // namespace

std::size_t ConvertNotificationText(Utf8Converter& converter, const char* text,
                                    char16_t (&buffer)[kNotificationCapacity]) {
  buffer[0] = 0;
  std::size_t size = std::strlen(text);
  if (size == 0) return 0;
  if (converter.ToUtf16(text, size, nullptr, 0) >= kNotificationCapacity) {
    // UTF-8 never gives more UTF-16 units than it has bytes, so 127 bytes fit.
    size = CutPoint(text);
  }
  std::size_t written = converter.ToUtf16(text, size, buffer, kNotificationCapacity - 1);
  buffer[written] = 0;
  return written;
}

}  // namespace vorlane
