#pragma once
// A scripted WinINet and an in-memory file system for the download's tests.
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "launch/download/internet_port.h"
#include "launch/download/transfer_bounds.h"

namespace vorlane::tests {

using namespace std::chrono_literals;

// Time that moves only when a fake says so.
struct FakeClock final : TransferClock {
  TransferTime now{};
  TransferTime Now() override { return now; }
};

struct FakeInternet final : InternetPort {
  // Script.
  bool openFails = false, connectFails = false, openRequestFails = false;
  bool querySecurityFails = false, setSecurityFails = false;
  std::vector<std::uint32_t> sendResults;  // one per Send; 0 once exhausted
  std::uint32_t dialogAnswer = 0;
  std::uint32_t status = 200;
  bool hasContentLength = true;
  std::string body = "MZ installer body";
  std::uint32_t announcedLength = 0xFFFFFFFF;  // default: body size
  std::size_t failReadAfter = static_cast<std::size_t>(-1);  // bytes delivered before a read fails
  std::uint32_t initialSecurityFlags = 0x8;
  bool chunked = false;
  // How long the peer takes to answer the send and each read; a wait whose
  // limit is shorter moves the clock by the limit and times out.
  FakeClock* clock = nullptr;
  std::chrono::milliseconds sendTakes{0};
  std::chrono::milliseconds readTakes{0};
  std::uint32_t readChunk = 0xFFFFFFFF;  // at most this many bytes a read
  std::uint32_t waitError = 0;          // what a wait answers instead (kErrorCancelled)

  // Record.
  std::vector<std::string> calls;
  std::u16string userAgent, host, method, object, headers;
  std::uint16_t port = 0;
  std::uint32_t requestFlags = 0, securityFlagsSet = 0, timeout = 0, headerLength = 0, networkTimeout = 0;
  std::vector<WaitLimit> limits;  // of every send and read, in order
  CertificateContext attachedCertificate = 0;
  std::vector<std::uint32_t> readCapacities;
  std::vector<InternetHandle> closed;
  std::set<InternetHandle> open;

  InternetHandle Next(bool fail) {
    if (fail) return 0;
    open.insert(++last_);
    return last_;
  }
  InternetHandle Open(const char16_t* agent) override {
    calls.push_back("open");
    userAgent = agent;
    return Next(openFails);
  }
  InternetHandle Connect(InternetHandle, const char16_t* h, std::uint16_t p) override {
    calls.push_back("connect");
    host = h;
    port = p;
    return Next(connectFails);
  }
  InternetHandle OpenRequest(InternetHandle, const char16_t* m, const char16_t* o, std::uint32_t flags) override {
    calls.push_back("request");
    method = m;
    object = o;
    requestFlags = flags;
    delivered_ = 0;
    return Next(openRequestFails);
  }
  bool QuerySecurityFlags(InternetHandle, std::uint32_t& flags) override {
    calls.push_back("query-security");
    flags = initialSecurityFlags;
    return !querySecurityFails;
  }
  bool SetSecurityFlags(InternetHandle, std::uint32_t flags) override {
    calls.push_back("set-security");
    securityFlagsSet = flags;
    return !setSecurityFails;
  }
  void SetClientCertificate(InternetHandle, CertificateContext certificate) override {
    calls.push_back("certificate");
    attachedCertificate = certificate;
  }
  void SetConnectTimeout(InternetHandle, std::uint32_t ms) override {
    calls.push_back("timeout");
    timeout = ms;
  }
  void SetTimeouts(InternetHandle, std::uint32_t ms) override {
    calls.push_back("timeouts");
    networkTimeout = ms;
  }
  // kErrorTimedOut when the peer takes longer than limit.
  std::uint32_t Wait(std::chrono::milliseconds takes, WaitLimit limit) {
    limits.push_back(limit);
    if (waitError != 0) return waitError;
    if (clock == nullptr) return 0;
    if (takes > limit) {
      clock->now += limit;
      return kErrorTimedOut;
    }
    clock->now += takes;
    return 0;
  }
  std::uint32_t Send(InternetHandle, const char16_t* h, std::uint32_t length, WaitLimit limit) override {
    calls.push_back("send");
    headers = h == nullptr ? u"" : h;
    headerLength = length;
    if (std::uint32_t error = Wait(sendTakes, limit)) return error;
    if (sends_ >= sendResults.size()) return 0;
    return sendResults[sends_++];
  }
  std::uint32_t ChooseClientCertificate(InternetHandle) override {
    calls.push_back("dialog");
    return dialogAnswer;
  }
  bool QueryStatusCode(InternetHandle, std::uint32_t& s) override {
    s = status;
    return true;
  }
  bool QueryContentLength(InternetHandle, std::uint32_t& length) override {
    if (!hasContentLength) return false;
    length = announcedLength == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : announcedLength;
    return true;
  }
  bool QueryChunked(InternetHandle) override { return chunked; }
  std::uint32_t Read(InternetHandle, void* buffer, std::uint32_t capacity, std::uint32_t& read,
                     WaitLimit limit) override {
    readCapacities.push_back(capacity);
    if (std::uint32_t error = Wait(delivered_ < body.size() ? readTakes : 0ms, limit)) return error;
    if (delivered_ >= failReadAfter) return 12030;  // ERROR_INTERNET_CONNECTION_ABORTED
    std::size_t left = std::min(body.size(), failReadAfter) - delivered_;
    read = static_cast<std::uint32_t>(std::min<std::size_t>({left, capacity, readChunk}));
    std::memcpy(buffer, body.data() + delivered_, read);
    delivered_ += read;
    return 0;
  }
  void CloseHandle(InternetHandle handle) override {
    calls.push_back("close-" + std::to_string(handle));
    closed.push_back(handle);
    open.erase(handle);
  }
  void FreeCertificate(CertificateContext) override { calls.push_back("free-certificate"); }
  void CloseStore(CertificateStore) override { calls.push_back("close-store"); }

 private:
  InternetHandle last_ = 0;
  std::size_t sends_ = 0;
  std::size_t delivered_ = 0;
};

// Files as Windows shares them here: a file open for writing or sealed
// cannot be created anew until its handle is closed. Safe to share between
// threads.
struct FakeFiles final : FilePort {
  std::map<std::u16string, std::string> files;
  std::set<std::u16string> locked;  // held open by another program
  bool writesFail = false;
  bool sealFails = false;  // someone else holds the file for writing
  std::vector<std::u16string> deleted;
  int openCount = 0;

  FileHandle Create(const char16_t* path) override {
    std::lock_guard lock(mutex_);
    if (locked.count(path) != 0 || OpenOn(path)) return kNoFile;
    files[path].clear();
    return Open(path, false);
  }
  FileHandle Seal(FileHandle file, const char16_t* path) override {
    std::lock_guard lock(mutex_);
    CloseLocked(file);
    if (sealFails) return kNoFile;
    return Open(path, true);
  }
  bool Write(FileHandle file, const void* bytes, std::uint32_t length) override {
    std::lock_guard lock(mutex_);
    if (writesFail || handles_.at(file).sealed) return false;
    files[handles_.at(file).path].append(static_cast<const char*>(bytes), length);
    return true;
  }
  void Close(FileHandle file) override {
    std::lock_guard lock(mutex_);
    CloseLocked(file);
  }
  void Delete(const char16_t* path) override {
    std::lock_guard lock(mutex_);
    deleted.emplace_back(path);
    files.erase(path);
  }

  // Whether the file is held sealed, and by nothing else.
  bool OnlySealed(const std::u16string& path) {
    std::lock_guard lock(mutex_);
    int sealed = 0, writing = 0;
    for (auto& [handle, open] : handles_)
      if (open.path == path) ++(open.sealed ? sealed : writing);
    return sealed == 1 && writing == 0;
  }
  std::string Contents(const std::u16string& path) {
    std::lock_guard lock(mutex_);
    return files[path];
  }
  int Creates() {
    std::lock_guard lock(mutex_);
    return creates_;
  }

 private:
  struct OpenFile {
    std::u16string path;
    bool sealed;
  };
  bool OpenOn(const std::u16string& path) const {
    for (auto& [handle, open] : handles_)
      if (open.path == path) return true;
    return false;
  }
  FileHandle Open(const char16_t* path, bool sealed) {
    handles_[++last_] = {path, sealed};
    ++openCount;
    if (!sealed) ++creates_;
    return last_;
  }
  void CloseLocked(FileHandle file) {
    handles_.erase(file);
    --openCount;
  }

  std::mutex mutex_;
  std::map<FileHandle, OpenFile> handles_;
  FileHandle last_ = 0;
  int creates_ = 0;
};

}  // namespace vorlane::tests
