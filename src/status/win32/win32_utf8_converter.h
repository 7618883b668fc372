#pragma once
// The system's UTF-8 decoder (MultiByteToWideChar, CP_UTF8, no flags).
#include "status/notification_text.h"

namespace vorlane {

class Win32Utf8Converter : public Utf8Converter {
 public:
  std::size_t ToUtf16(const char* bytes, std::size_t size, char16_t* out, std::size_t capacity) override;
};

}  // namespace vorlane
