#pragma once
// A conforming UTF-8 decoder: each maximal ill-formed subpart becomes one
// U+FFFD, as Unicode recommends and the system's converter does.
#include "status/notification_text.h"

namespace vorlane {

class Utf8Decoder : public Utf8Converter {
 public:
  std::size_t ToUtf16(const char* bytes, std::size_t size, char16_t* out, std::size_t capacity) override;
};

}  // namespace vorlane
