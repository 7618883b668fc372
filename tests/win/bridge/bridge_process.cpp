#include "bridge_process.h"

#include <string>

#include "support/win32/wide_text.h"

namespace vorlane::tests {
namespace {

std::u16string BesideThisProgram(const std::u16string& name) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string self(AsUtf16(path), length);
  return self.substr(0, self.rfind(u'\\') + 1) + name;
}

std::string Frame(const std::string& text) {
  auto length = static_cast<std::uint32_t>(text.size());
  std::string framed(reinterpret_cast<const char*>(&length), 4);  // little-endian, as the target is
  return framed + text;
}

bool ReadExactly(HANDLE pipe, char* buffer, DWORD size) {
  DWORD done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!ReadFile(pipe, buffer + done, size - done, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

}  // namespace

BridgeProcess::BridgeProcess() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childInput = nullptr, ourInput = nullptr, ourOutput = nullptr, childOutput = nullptr;
  if (!CreatePipe(&childInput, &ourInput, &inherit, 0)) return;
  UniqueHandle childIn(childInput);
  input_.Reset(ourInput);
  if (!CreatePipe(&ourOutput, &childOutput, &inherit, 0)) return;
  UniqueHandle childOut(childOutput);
  output_.Reset(ourOutput);
  SetHandleInformation(ourInput, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(ourOutput, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::u16string commandLine =
      u"\"" + BesideThisProgram(u"vorlane-bridge.exe") + u"\" chrome-extension://abcdefghijklmnopabcdefghijklmnop/";
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, const_cast<wchar_t*>(AsWide(commandLine)), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_.Reset(info.hProcess);
  reader_ = std::thread(&BridgeProcess::ReadOutput, this);
}

BridgeProcess::~BridgeProcess() {
  CloseInput();
  if (process_ && !WaitForExit(std::chrono::seconds(20))) TerminateProcess(process_.Get(), 1);
  if (reader_.joinable()) reader_.join();
}

void BridgeProcess::ReadOutput() {
  for (;;) {
    std::uint32_t length = 0;
    std::string text;
    bool whole = ReadExactly(output_.Get(), reinterpret_cast<char*>(&length), 4);
    if (whole) {
      text.resize(length);
      whole = ReadExactly(output_.Get(), text.data(), length);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (!whole) {
      ended_ = true;
      arrived_.notify_all();
      return;
    }
    nlohmann::json message = nlohmann::json::parse(text, nullptr, false);
    if (message.is_object() && message.contains("event")) events_.push_back(message.value("text", ""));
    messages_.push_back(std::move(message));
    arrived_.notify_all();
  }
}

bool BridgeProcess::WriteBytes(const std::string& bytes) {
  DWORD wrote = 0;
  return input_ && WriteFile(input_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
         wrote == bytes.size();
}

bool BridgeProcess::SendText(const std::string& text) { return WriteBytes(Frame(text)); }

std::optional<nlohmann::json> BridgeProcess::Next(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!arrived_.wait_for(lock, limit, [&] { return !messages_.empty() || ended_; }) || messages_.empty()) {
    return std::nullopt;
  }
  nlohmann::json message = std::move(messages_.front());
  messages_.pop_front();
  return message;
}

std::optional<nlohmann::json> BridgeProcess::NextReply(std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    std::optional<nlohmann::json> message = Next(std::max(left, std::chrono::milliseconds(0)));
    if (!message || !message->contains("event")) return message;
  }
}

std::vector<std::string> BridgeProcess::Events() {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

void BridgeProcess::CloseInput() { input_.Reset(); }

std::optional<DWORD> BridgeProcess::WaitForExit(std::chrono::milliseconds limit) {
  if (!process_ || WaitForSingleObject(process_.Get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

bool BridgeProcess::OutputEnded() {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, std::chrono::seconds(5), [&] { return ended_; });
}

nlohmann::json BridgeCall(int id, const std::string& member, nlohmann::json args, const std::string& href,
                          const std::string& cookie, int type) {
  std::size_t hostStart = href.find("://") + 3;
  std::size_t hostEnd = href.find('/', hostStart);
  std::string host = href.substr(hostStart, hostEnd - hostStart);
  std::size_t colon = host.find(':');
  return {{"id", id},
          {"member", member},
          {"args", std::move(args)},
          {"origin", href.substr(0, hostEnd)},
          {"page",
           {{"href", href},
            {"protocol", href.substr(0, hostStart - 2)},
            {"host", host},
            {"hostname", host.substr(0, colon)},
            {"port", colon == std::string::npos ? "" : host.substr(colon + 1)},
            {"url", href},
            {"cookie", cookie}}},
          {"params", {{"ip", "10.0.0.1"}, {"port", "443"}, {"username", "u"}, {"type", std::to_string(type)}}}};
}

}  // namespace vorlane::tests
