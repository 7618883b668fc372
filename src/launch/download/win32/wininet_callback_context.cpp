#include "launch/download/win32/wininet_callback_context.h"

#include <new>

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
  HMODULE pinned = pin_.Take();
  delete this;  // the module no longer counts as in use
  if (pinned == nullptr) return;
  // The last release may come from WinINet's thread inside OnStatus, which
  // returns into this module: freeing the pin here could unmap the code it
  // returns to. A pool thread runs FreeLibrary itself, no code of ours.
  // (Unloading also waits for the container's own delay after
  // DllCanUnloadNow, far longer than that return.) Should the work item not
  // be queued, the pin stays: the module is then kept, never freed early.
  auto freeLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(&FreeLibrary));
  QueueUserWorkItem(freeLibrary, pinned, WT_EXECUTEDEFAULT);
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
