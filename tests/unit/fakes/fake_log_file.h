#pragma once
// An in-memory file system for the diagnostic log, with a settable clock.
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "support/diagnostic_log.h"

namespace vorlane::tests {

class FakeLogFile final : public LogFilePort {
 public:
  LogHandle OpenForAppend(const char16_t* path) override {
    std::lock_guard lock(mutex_);
    std::u16string key = Lower(path);
    ++openCalls;
    if (failing.count(key) != 0) return kNoLogHandle;
    LogHandle h = nextHandle_++;
    open_[h] = key;
    files[key];  // created when missing, kept when present
    return h;
  }
  void Write(LogHandle h, const void* bytes, std::uint32_t size) override {
    std::lock_guard lock(mutex_);
    ++writeCalls;
    auto it = open_.find(h);
    if (it == open_.end()) return;
    auto* p = static_cast<const unsigned char*>(bytes);
    files[it->second].insert(files[it->second].end(), p, p + size);
  }
  void Flush(LogHandle) override {
    std::lock_guard lock(mutex_);
    ++flushCalls;
  }
  void Close(LogHandle h) override {
    std::lock_guard lock(mutex_);
    open_.erase(h);
    closed.push_back(h);
  }
  LocalTime Now() override { return now; }
  bool SamePath(const char16_t* a, const char16_t* b) override { return Lower(a) == Lower(b); }

  // The file's content as UTF-16 text.
  std::u16string Text(const std::u16string& path) {
    std::lock_guard lock(mutex_);
    const auto& bytes = files[Lower(path.c_str())];
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
      text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text;
  }

  static std::u16string Lower(const char16_t* s) {
    std::u16string out;
    for (; *s; ++s) out.push_back(*s >= u'A' && *s <= u'Z' ? *s + 32 : *s);
    return out;
  }

  std::map<std::u16string, std::vector<unsigned char>> files;
  std::set<std::u16string> failing;
  std::vector<LogHandle> closed;
  LocalTime now{2014, 7, 9, 15, 4, 5, 123};
  int openCalls = 0, writeCalls = 0, flushCalls = 0;

 private:
  std::mutex mutex_;
  std::map<LogHandle, std::u16string> open_;
  LogHandle nextHandle_ = 100;
};

}  // namespace vorlane::tests
