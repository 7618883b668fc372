#pragma once
// The UI thread's message loop between the host's steps: sent messages from
// other threads (the control's WM_USER+1) are delivered only while it pumps.
#include <windows.h>

#include <utility>

namespace vorlane::host {

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&&) = delete;
  ~UniqueHandle() {
    if (handle_) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Dispatches everything waiting for this thread.
void PumpPending();
// Pumps for `milliseconds`.
void PumpFor(DWORD milliseconds);
// Pumps until `handle` is signalled; false when `timeout` ran out first.
bool PumpUntil(HANDLE handle, DWORD timeout);

}  // namespace vorlane::host
