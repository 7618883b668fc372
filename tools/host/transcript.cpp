#include "transcript.h"

namespace vorlane::host {

void Transcript::Add(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (stamped_) {
    std::chrono::duration<double, std::milli> since = std::chrono::steady_clock::now() - start_;
    std::fprintf(out_, "+%.3f ", since.count());
  }
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

}  // namespace vorlane::host
