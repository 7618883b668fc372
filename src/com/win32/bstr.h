#pragma once
// Owning BSTR and VARIANT.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

#include "support/win32/wide_text.h"

namespace vorlane {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::u16string& text)
      : s_(SysAllocStringLen(AsWide(text.data()), UINT(text.size()))) {}
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
  std::u16string Text() const { return ToText(s_); }

  static std::u16string ToText(BSTR s) {
    return s ? std::u16string(AsUtf16(s), SysStringLen(s)) : std::u16string();
  }

 private:
  BSTR s_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant& operator=(Variant&& other) noexcept {
    std::swap(v_, other.v_);
    return *this;
  }
  static Variant Text(const std::u16string& text) {
    Variant made;
    V_VT(&made.v_) = VT_BSTR;
    V_BSTR(&made.v_) = Bstr(text).Detach();
    return made;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  VARIANT* Get() { return &v_; }
  const VARIANT* Get() const { return &v_; }
  VARIANT* operator->() { return &v_; }
  const VARIANT* operator->() const { return &v_; }
  // Clears the value and hands out the slot for an out parameter.
  VARIANT* Put() {
    VariantClear(&v_);
    return &v_;
  }

 private:
  VARIANT v_;
};

}  // namespace vorlane
