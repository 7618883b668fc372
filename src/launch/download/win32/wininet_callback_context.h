#pragma once
// What WinINet's status callback touches for one download. WinINet may call
// it long after the download has given up: a peer that never answers keeps
// the pending operation, and with it the handles, alive inside WinINet. So
// the context is counted: the download holds one reference, and every handle
// given it holds one until WinINet says INTERNET_STATUS_HANDLE_CLOSING for
// that handle. Until the last one goes the module stays loaded and in use.
// Should WinINet never let go, the context and the module stay: a leak on
// purpose, as freeing either would let a late callback run into freed memory.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <string>

#include "support/win32/unique_handle.h"
#include "launch/download/internet_http_client.h"
#include "support/win32/module_lock.h"
#include "support/win32/module_pin.h"

namespace vorlane {

// How long the module outlives the context after its last release: time
// for WinINet's thread to return out of the callback, a few instructions.
constexpr DWORD kCallbackReturnMarginMs = 100;

class WinInetCallbackContext {
 public:
  // A new context with one reference, the caller's; null when out of
  // resources.
  static WinInetCallbackContext* Create();
  void AddRef() { refs_.fetch_add(1); }
  void Release();

  // The value handed to WinINet with each handle, and the callback set on
  // the internet handle.
  DWORD_PTR AsContext() { return reinterpret_cast<DWORD_PTR>(this); }
  static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info, DWORD infoLength);

  // Before an operation that may pend: forgets an earlier completion.
  void Arm();
  // Signalled when a pending operation completes.
  HANDLE Completed() const { return completed_.Get(); }
  // The completed operation's error; 0 when it succeeded.
  DWORD Error() const { return error_.load(); }

  // A copy of a send's headers that outlives a wait given up.
  const wchar_t* KeepHeaders(const char16_t* headers, std::uint32_t length) {
    headers_.assign(headers == nullptr ? u"" : headers, headers == nullptr ? 0 : length);
    return reinterpret_cast<const wchar_t*>(headers_.c_str());
  }
  // Where a pending read writes: it must outlive the download's wait.
  unsigned char* ReadBuffer() { return readBuffer_; }
  DWORD* ReadCount() { return &readCount_; }
  DWORD* AvailableCount() { return &availableCount_; }

 private:
  WinInetCallbackContext() = default;
  ~WinInetCallbackContext() = default;

  std::atomic<long> refs_{1};
  UniqueHandle completed_;
  std::atomic<DWORD> error_{0};
  unsigned char readBuffer_[kReadChunkSize] = {};
  DWORD readCount_ = 0;
  DWORD availableCount_ = 0;
  std::u16string headers_;
  ModuleReference inUse_;
  ModulePin pin_;
};

}  // namespace vorlane
