#pragma once
// Owning BSTR and VARIANT holders, so no path leaks a string or a reference.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace vorlane::host {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::u16string& text)
      : value_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()))) {}
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }
  ~Bstr() { SysFreeString(value_); }

  BSTR get() const { return value_; }
  BSTR* out() {
    SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }
  BSTR release() { return std::exchange(value_, nullptr); }
  std::u16string text() const {
    return value_ ? std::u16string(reinterpret_cast<const char16_t*>(value_), SysStringLen(value_))
                  : std::u16string();
  }

 private:
  BSTR value_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  static Variant Text(const std::u16string& text) {
    Variant made;
    V_VT(&made.value_) = VT_BSTR;
    V_BSTR(&made.value_) = Bstr(text).release();
    return made;
  }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace vorlane::host
