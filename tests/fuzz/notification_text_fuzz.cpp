// The local client's reply on its way to the page: the UTF-8 decoder, and the
// notification text cut to what the handler's 128-unit buffer holds.
//
// Input: the reply's bytes. The decoder gets all of them; the notification
// gets them up to the first NUL, as the poller hands them over.
#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "status/notification_text.h"
#include "status/utf8_decoder.h"

namespace vorlane::fuzz {
namespace {

// The C library's conversion of well-formed UTF-8; nothing for any other.
std::optional<std::u16string> LibraryUtf16(const std::string& bytes) {
  static iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
  Require(converter != reinterpret_cast<iconv_t>(-1), "the C library converts UTF-8");
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string in = bytes;
  std::string out(in.size() * 2 + 4, '\0');
  char* inPointer = in.data();
  char* outPointer = out.data();
  std::size_t inLeft = in.size(), outLeft = out.size();
  if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  std::u16string text;
  for (std::size_t i = 0; i + 1 < out.size() - outLeft; i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                         (static_cast<unsigned char>(out[i + 1]) << 8)));
  }
  return text;
}

std::u16string Decode(Utf8Decoder& decoder, const char* bytes, std::size_t size) {
  std::size_t needed = decoder.ToUtf16(bytes, size, nullptr, 0);
  Require(needed <= size, "UTF-8 never gives more units than bytes", Shown(std::string_view(bytes, size)));
  // Exactly as large as asked for, so that a unit written past it is caught.
  auto exact = std::make_unique<char16_t[]>(needed);
  Require(decoder.ToUtf16(bytes, size, exact.get(), needed) == needed, "the size asked for is the size written",
          Shown(std::string_view(bytes, size)));
  if (needed > 0) {
    auto short_ = std::make_unique<char16_t[]>(needed - 1);
    Require(decoder.ToUtf16(bytes, size, short_.get(), needed - 1) == 0, "a buffer one unit short takes nothing",
            Shown(std::string_view(bytes, size)));
  }
  return std::u16string(exact.get(), needed);
}

void CheckDecoder(Utf8Decoder& decoder, const std::string& bytes) {
  std::u16string text = Decode(decoder, bytes.data(), bytes.size());
  Require(IsValidUtf16(text), "the decoder gives valid UTF-16", Shown(bytes));
  if (std::optional<std::u16string> library = LibraryUtf16(bytes)) {
    Require(text == *library, "well-formed UTF-8 decodes as the C library decodes it", Shown(bytes) + " -> " + Shown(text));
  } else {
    Require(text.find(u'\uFFFD') != std::u16string::npos, "ill-formed UTF-8 leaves a U+FFFD", Shown(bytes));
  }
}

void CheckNotification(Utf8Decoder& decoder, const std::string& reply) {
  char16_t buffer[kNotificationCapacity];
  std::size_t length = ConvertNotificationText(decoder, reply.c_str(), buffer);
  const std::string shown = Shown(reply);
  Require(length < kNotificationCapacity, "a notification holds at most 127 units", shown);
  Require(buffer[length] == 0 && std::char_traits<char16_t>::length(buffer) == length,
          "the notification is terminated after its length", shown);
  std::u16string text(buffer, length);
  Require(IsValidUtf16(text), "the notification is valid UTF-16", shown + " -> " + Shown(text));

  // Whole characters from the start of the reply, and all of those within
  // its first 127 bytes: only one that straddles that point may be dropped.
  // A character (or ill-formed piece) ends at k when the two sides of k
  // decode to the whole text's decoding.
  const std::u16string whole = Decode(decoder, reply.data(), reply.size());
  Require(whole.compare(0, length, text) == 0, "the notification is the reply's leading characters",
          shown + " -> " + Shown(text));
  std::size_t boundary = std::min(reply.size(), kNotificationMaxBytes);
  std::u16string head;
  for (;; --boundary) {
    head = Decode(decoder, reply.data(), boundary);
    if (head + Decode(decoder, reply.data() + boundary, reply.size() - boundary) == whole) break;
  }
  Require(length >= head.size(), "every whole character within the first 127 bytes is kept",
          shown + " -> " + Shown(text));
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  Utf8Decoder decoder;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckDecoder(decoder, bytes);
  CheckNotification(decoder, bytes.substr(0, bytes.find('\0')));
  return 0;
}
