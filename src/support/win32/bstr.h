#pragma once
// Owning BSTR.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

#include "support/win32/wide_text.h"

namespace vorlane {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::u16string& text) : s_(SysAllocStringLen(AsWide(text), UINT(text.size()))) {}
  explicit Bstr(const char16_t* text) : s_(SysAllocString(AsWide(text))) {}
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(s_, other.s_);
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(s_); }

  BSTR Get() const { return s_; }
  BSTR* Put() {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  BSTR Detach() { return std::exchange(s_, nullptr); }
  // Takes over a BSTR the caller owns (an out parameter's, say).
  static Bstr Adopt(BSTR s) {
    Bstr adopted;
    adopted.s_ = s;
    return adopted;
  }
  std::u16string Text() const { return ToText(s_); }

  static std::u16string ToText(BSTR s) { return s ? std::u16string(AsUtf16(s), SysStringLen(s)) : std::u16string(); }

 private:
  BSTR s_ = nullptr;
};

}  // namespace vorlane
