#include "transcript.h"

namespace vorlane::host {

void Transcript::Add(const std::string& line) {
  std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

}  // namespace vorlane::host
