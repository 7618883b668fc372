#include "bridge/win32/stdio_pipes.h"

#include <algorithm>

namespace vorlane {

std::size_t StdinSource::Read(char* buffer, std::size_t capacity) {
  DWORD got = 0;
  DWORD ask = static_cast<DWORD>(std::min<std::size_t>(capacity, 1 << 20));
  if (input_ == nullptr || input_ == INVALID_HANDLE_VALUE || !ReadFile(input_, buffer, ask, &got, nullptr)) return 0;
  return got;
}

void StdoutSink::Write(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(output_, bytes.data() + done, ask, &wrote, nullptr) || wrote == 0) return;
    done += wrote;
  }
}

}  // namespace vorlane
