#include "transcript.h"

namespace vorlane::host {

void Transcript::Add(const std::string& line) {
  std::lock_guard lock(mutex_);
  lines_.push_back(line);
  if (echo_) {
    std::fwrite(line.data(), 1, line.size(), echo_);
    std::fputc('\n', echo_);
    std::fflush(echo_);
  }
}

std::vector<std::string> Transcript::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::vector<std::string> Transcript::LinesStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const auto& line : Lines())
    if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
  return found;
}

}  // namespace vorlane::host
