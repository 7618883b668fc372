#pragma once
// The browser's pipe: the host's standard input and output, read and written
// as bytes with ReadFile and WriteFile (no C runtime text translation).
#include <windows.h>

#include <mutex>

#include "bridge/bridge_session.h"
#include "bridge/message_framing.h"

namespace vorlane {

class StdinSource final : public ByteSource {
 public:
  StdinSource() : input_(GetStdHandle(STD_INPUT_HANDLE)) {}
  std::size_t Read(char* buffer, std::size_t capacity) override;

 private:
  HANDLE input_;
};

// Whole messages only, one at a time, whichever thread writes.
class StdoutSink final : public ByteSink {
 public:
  StdoutSink() : output_(GetStdHandle(STD_OUTPUT_HANDLE)) {}
  void Write(const std::string& bytes) override;

 private:
  HANDLE output_;
  std::mutex mutex_;
};

}  // namespace vorlane
