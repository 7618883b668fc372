#pragma once
// The host's account of what happened: one line per happening, written whole
// and in the order seen, from any thread.
#include <cstdio>
#include <mutex>
#include <string>

namespace vorlane::host {

class Transcript {
 public:
  explicit Transcript(std::FILE* out) : out_(out) {}

  void Add(const std::string& line);

 private:
  std::FILE* const out_;
  std::mutex mutex_;
};

}  // namespace vorlane::host
