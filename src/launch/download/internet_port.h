#pragma once
// The WinINet operations an HTTP request needs, and the file operations of the
// file sink. Handles are opaque numbers; 0 is "none".
#include <chrono>
#include <cstdint>

namespace vorlane {

using InternetHandle = std::uintptr_t;
using CertificateStore = std::uintptr_t;
using CertificateContext = std::uintptr_t;

constexpr std::uint32_t kErrorClientCertificateNeeded = 12044;  // ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorTimedOut = 12002;   // ERROR_INTERNET_TIMEOUT
constexpr std::uint32_t kErrorCancelled = 12017;  // ERROR_INTERNET_OPERATION_CANCELLED

// How long an operation that waits for the peer may wait before it answers
// kErrorTimedOut.
using WaitLimit = std::chrono::milliseconds;
constexpr WaitLimit kNoWaitLimit = WaitLimit::max();

class InternetPort {
 public:
  virtual ~InternetPort() = default;
  virtual InternetHandle Open(const char16_t* userAgent) = 0;
  virtual InternetHandle Connect(InternetHandle internet, const char16_t* host, std::uint16_t port) = 0;
  virtual InternetHandle OpenRequest(InternetHandle connection, const char16_t* method,
                                     const char16_t* object, std::uint32_t flags) = 0;
  virtual bool QuerySecurityFlags(InternetHandle request, std::uint32_t& flags) = 0;
  virtual bool SetSecurityFlags(InternetHandle request, std::uint32_t flags) = 0;
  virtual void SetClientCertificate(InternetHandle request, CertificateContext certificate) = 0;
  virtual void SetConnectTimeout(InternetHandle request, std::uint32_t milliseconds) = 0;
  // Connect, send and receive time-outs of everything opened under internet.
  virtual void SetTimeouts(InternetHandle internet, std::uint32_t milliseconds) = 0;
  // 0 when sent and the reply's head is in, otherwise the platform's error
  // code, kErrorTimedOut after limit, or kErrorCancelled.
  virtual std::uint32_t Send(InternetHandle request, const char16_t* headers, std::uint32_t headerLength,
                             WaitLimit limit) = 0;
  // WinINet's dialog for choosing a client certificate, over the desktop;
  // kErrorSuccess when one was chosen and the request may be sent again.
  virtual std::uint32_t ChooseClientCertificate(InternetHandle request) = 0;
  // False when the reply has no status line (bytes that are not HTTP).
  virtual bool QueryStatusCode(InternetHandle request, std::uint32_t& status) = 0;
  // False when the reply names no Content-Length.
  virtual bool QueryContentLength(InternetHandle request, std::uint32_t& length) = 0;
  // True when the body comes in chunks, whose last one marks its end.
  virtual bool QueryChunked(InternetHandle request) = 0;
  // 0 and the count read (0 at the end of the body), otherwise as Send.
  virtual std::uint32_t Read(InternetHandle request, void* buffer, std::uint32_t capacity, std::uint32_t& read,
                             WaitLimit limit) = 0;
  virtual void CloseHandle(InternetHandle handle) = 0;
  virtual void FreeCertificate(CertificateContext certificate) = 0;
  virtual void CloseStore(CertificateStore store) = 0;
};

using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;  // INVALID_HANDLE_VALUE

class FilePort {
 public:
  virtual ~FilePort() = default;
  // A new, empty file opened for writing that others may only read;
  // kNoFile on failure.
  virtual FileHandle Create(const char16_t* path) = 0;
  // Ends writing to `file` (closing it) and returns a handle that keeps the
  // file at `path` open for reading while others may only read it, so that
  // it can be started but not changed or replaced. kNoFile when someone else
  // has it open for writing.
  virtual FileHandle Seal(FileHandle file, const char16_t* path) = 0;
  // True only when every byte was written.
  virtual bool Write(FileHandle file, const void* bytes, std::uint32_t length) = 0;
  virtual void Close(FileHandle file) = 0;
  virtual void Delete(const char16_t* path) = 0;
};

}  // namespace vorlane
