#pragma once
// The host's account of what happened: one line per happening, in the order
// the happenings were seen, from any thread. Lines are kept for tests and
// optionally echoed to a stream as they arrive.
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace vorlane::host {

class Transcript {
 public:
  explicit Transcript(std::FILE* echo = nullptr) : echo_(echo) {}

  void Add(const std::string& line);
  std::vector<std::string> Lines() const;
  // Lines that start with `prefix`, e.g. "event ".
  std::vector<std::string> LinesStartingWith(const std::string& prefix) const;

 private:
  std::FILE* echo_;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace vorlane::host
