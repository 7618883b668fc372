#pragma once
// Tells a download that its control has gone: the control sets it when it
// is destroyed, and the download, which shares it, stops waiting at once and
// ends without a word.
#include <windows.h>

#include <memory>

#include "support/win32/unique_handle.h"
#include "launch/download/download_installer.h"

namespace vorlane {

class CancelSignal final : public CancelToken {
 public:
  // Manual-reset, so every download sharing it sees it.
  CancelSignal() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  void Cancel() { SetEvent(event_.Get()); }
  bool Requested() override { return WaitForSingleObject(event_.Get(), 0) == WAIT_OBJECT_0; }
  // Null when no event could be made; downloads then cannot be cancelled.
  HANDLE Event() const { return event_.Get(); }

 private:
  UniqueHandle event_;
};

}  // namespace vorlane
