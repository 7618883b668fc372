#pragma once
// Memory the platform allocated with CoTaskMemAlloc for us to free.
#include <windows.h>
#include <objbase.h>

namespace vorlane {

template <typename T>
class CoTaskMemory {
 public:
  explicit CoTaskMemory(T* memory) : memory_(memory) {}
  ~CoTaskMemory() { CoTaskMemFree(memory_); }
  CoTaskMemory(const CoTaskMemory&) = delete;
  CoTaskMemory& operator=(const CoTaskMemory&) = delete;
  T* Get() const { return memory_; }

 private:
  T* memory_;
};

}  // namespace vorlane
