#pragma once
// The internet port over WinINet and CryptoAPI, and the file port over the
// Win32 file functions.
#include "launch/download/internet_port.h"

namespace vorlane {

class WinInetCallbackContext;

// WinINet in asynchronous mode: a send or read that pends is waited for
// until it completes, its limit passes or the cancel event is set, whichever
// comes first. (A blocked synchronous send ignores InternetCloseHandle from
// another thread under Wine, so only this way can a wait be given up.) One
// port serves one internet handle and what is opened under it.
class WinInetPort final : public InternetPort {
 public:
  // cancelEvent: a manual-reset event handle, or null for none.
  explicit WinInetPort(void* cancelEvent = nullptr);
  // The callback context lives on while WinINet still holds handles.
  ~WinInetPort() override;
  WinInetPort(const WinInetPort&) = delete;
  WinInetPort& operator=(const WinInetPort&) = delete;

  InternetHandle Open(const char16_t* userAgent) override;
  InternetHandle Connect(InternetHandle internet, const char16_t* host, std::uint16_t port) override;
  InternetHandle OpenRequest(InternetHandle connection, const char16_t* method, const char16_t* object,
                             std::uint32_t flags) override;
  bool QuerySecurityFlags(InternetHandle request, std::uint32_t& flags) override;
  bool SetSecurityFlags(InternetHandle request, std::uint32_t flags) override;
  void SetClientCertificate(InternetHandle request, CertificateContext certificate) override;
  void SetConnectTimeout(InternetHandle request, std::uint32_t milliseconds) override;
  void SetTimeouts(InternetHandle internet, std::uint32_t milliseconds) override;
  std::uint32_t Send(InternetHandle request, const char16_t* headers, std::uint32_t headerLength,
                     WaitLimit limit) override;
  std::uint32_t ChooseClientCertificate(InternetHandle request) override;
  bool QueryStatusCode(InternetHandle request, std::uint32_t& status) override;
  bool QueryContentLength(InternetHandle request, std::uint32_t& length) override;
  bool QueryChunked(InternetHandle request) override;
  std::uint32_t Read(InternetHandle request, void* buffer, std::uint32_t capacity, std::uint32_t& read,
                     WaitLimit limit) override;
  void CloseHandle(InternetHandle handle) override;
  void FreeCertificate(CertificateContext certificate) override;
  void CloseStore(CertificateStore store) override;

 private:
  // The pending operation's outcome, within limit.
  std::uint32_t Await(WaitLimit limit);

  void* cancel_;
  WinInetCallbackContext* context_;
};

class Win32FilePort final : public FilePort {
 public:
  FileHandle Create(const char16_t* path) override;
  FileHandle Seal(FileHandle file, const char16_t* path) override;
  bool Write(FileHandle file, const void* bytes, std::uint32_t length) override;
  void Close(FileHandle file) override;
  void Delete(const char16_t* path) override;
};

}  // namespace vorlane
