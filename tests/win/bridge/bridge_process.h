#pragma once
// vorlane-bridge.exe as a browser runs it: a child process whose standard
// input and output are pipes of ours, messages framed as the browsers frame
// them.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "com/win32/unique_handle.h"

namespace vorlane::tests {

class BridgeProcess {
 public:
  // Starts the host beside this suite with the extension's origin as its
  // argument, as the browsers do.
  BridgeProcess();
  ~BridgeProcess();
  BridgeProcess(const BridgeProcess&) = delete;
  BridgeProcess& operator=(const BridgeProcess&) = delete;

  bool Started() const { return static_cast<bool>(process_); }
  HANDLE ProcessHandle() const { return process_.Get(); }
  // Raw bytes, for framing the browser would never send.
  bool WriteBytes(const std::string& bytes);
  bool Send(const nlohmann::json& message) { return SendText(message.dump()); }
  bool SendText(const std::string& text);
  // The next message of the host, or nothing after `limit`.
  std::optional<nlohmann::json> Next(std::chrono::milliseconds limit);
  // The next message that is not an event (a call's action, result or error).
  std::optional<nlohmann::json> NextReply(std::chrono::milliseconds limit);
  // The events seen so far, in order, whether Next took them or not.
  std::vector<std::string> Events();
  // As the browser closing the port: our end of the host's input closed.
  void CloseInput();
  // The host's exit code once it has ended within `limit`.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit);
  // Whether the host closed its output (the reader saw the pipe end).
  bool OutputEnded();

 private:
  void ReadOutput();

  UniqueHandle process_;
  UniqueHandle input_;   // our end of the host's standard input
  UniqueHandle output_;  // our end of the host's standard output
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<nlohmann::json> messages_;
  std::vector<std::string> events_;
  bool ended_ = false;
};

// A call as the extension sends it from a page at `href` (origin derived).
nlohmann::json BridgeCall(int id, const std::string& member, nlohmann::json args, const std::string& href,
                          const std::string& cookie, int type = 0);

}  // namespace vorlane::tests
