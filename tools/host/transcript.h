#pragma once
// The host's account of what happened: one line per happening, written whole
// and in the order seen, from any thread.
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

namespace vorlane::host {

class Transcript {
 public:
  explicit Transcript(std::FILE* out) : out_(out) {}

  void Add(const std::string& line);

  // Each line then begins with the milliseconds since the transcript began
  // ("+12.345 "), for timing what the control does between two lines.
  void StampLines() { stamped_ = true; }
  bool stamped() const { return stamped_; }

 private:
  std::FILE* const out_;
  std::mutex mutex_;
  bool stamped_ = false;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace vorlane::host
