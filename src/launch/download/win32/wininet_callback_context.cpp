#include "launch/download/win32/wininet_callback_context.h"

#include <new>

#include "support/win32/pinned_thread.h"

namespace vorlane {

WinInetCallbackContext* WinInetCallbackContext::Create() {
  auto* context = new (std::nothrow) WinInetCallbackContext;
  if (context == nullptr) return nullptr;
  context->completed_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!context->completed_) {
    delete context;
    return nullptr;
  }
  return context;
}

void WinInetCallbackContext::Release() {
  if (refs_.fetch_sub(1) != 1) return;
  // The last release may come from WinINet's thread inside OnStatus, which
  // then still returns through this module's code: giving the module up here,
  // or on a thread that might run before that return, can unmap the code it
  // returns to. A thread of ours holds the module a while longer and gives it
  // up without returning into it. Should no thread be made, the pin stays:
  // the module is then kept, never freed early.
  if (!StartPinnedThread([] {
        Sleep(kCallbackReturnMarginMs);
        return 0u;
      }))
    static_cast<void>(pin_.Take());
  delete this;
}

void WinInetCallbackContext::Arm() {
  error_ = 0;
  ResetEvent(completed_.Get());
}

void CALLBACK WinInetCallbackContext::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                               DWORD infoLength) {
  auto* self = reinterpret_cast<WinInetCallbackContext*>(context);
  if (self == nullptr) return;
  switch (status) {
    case INTERNET_STATUS_REQUEST_COMPLETE: {
      DWORD error = ERROR_INTERNET_INTERNAL_ERROR;
      if (info != nullptr && infoLength >= sizeof(INTERNET_ASYNC_RESULT)) {
        const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
        error = result->dwResult ? 0 : (result->dwError != 0 ? result->dwError : ERROR_INTERNET_INTERNAL_ERROR);
      }
      self->error_ = error;
      SetEvent(self->completed_.Get());
      break;
    }
    case INTERNET_STATUS_HANDLE_CLOSING:
      self->Release();  // the last callback WinINet makes for this handle
      break;
    default:
      break;
  }
}

}  // namespace vorlane
