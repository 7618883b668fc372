#pragma once
// Owning kernel handle (null means none), closed once.
#include <windows.h>

#include <utility>

namespace vorlane {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    std::swap(h_, other.h_);
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  void Reset(HANDLE h = nullptr) {
    HANDLE old = std::exchange(h_, h);
    if (old && old != INVALID_HANDLE_VALUE) CloseHandle(old);
  }
  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_ = nullptr;
};

}  // namespace vorlane
