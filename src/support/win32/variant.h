#pragma once
// Owning VARIANT: cleared, and what it holds released, when it goes.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

#include "support/win32/bstr.h"

namespace vorlane {

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
