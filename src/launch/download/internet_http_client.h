#pragma once
// One HTTP(S) request at a time over WinINet, streaming the reply's body into
// a sink: a file (OnFileEvent) or a caller's byte buffer (OnBufferEvent).
#include <cstddef>
#include <cstdint>
#include <string>

#include "launch/download/cracked_url.h"
#include "launch/download/internet_port.h"
#include "launch/download/transfer_bounds.h"

namespace vorlane {

// How a request reports its progress to the sink.
enum class TransferEvent : int {
  kBegin = 1,  // data: the announced body length (uint32), length 4
  kData = 2,   // data: one chunk of the body
  kDone = 3,
  kFailed = 4,
};

constexpr std::uint32_t kRequestFlagsHttp = 0x84200000;   // RELOAD | NO_CACHE_WRITE | NO_AUTO_REDIRECT
constexpr std::uint32_t kRequestFlagsHttps = 0x84A01000;  // + SECURE | IGNORE_CERT_CN_INVALID
// HTTPS that lets WinINet check the certificate's chain and name.
constexpr std::uint32_t kRequestFlagsHttpsVerified = 0x84A00000;  // RELOAD | NO_CACHE_WRITE | NO_AUTO_REDIRECT | SECURE
constexpr std::uint32_t kRequestFlagKeepConnection = 0x00400000;
// Ignore revocation, unknown issuer, wrong name and expired dates: any
// gateway certificate is accepted.
constexpr std::uint32_t kAcceptAnyCertificateFlags = 0x3180;
constexpr std::uint32_t kReadChunkSize = 10240;
constexpr std::uint32_t kDefaultConnectTimeoutMs = 10000;
constexpr char16_t kDefaultUserAgent[] = u"Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko";

// OnBufferEvent's answer at Begin when the buffer cannot hold the body and a
// terminating 0 byte.
constexpr int kBufferTooSmall = -3;
// OnFileEvent's answer when the file cannot be created or written.
constexpr int kFileFailed = -1;

// Which sink SendRequest reports to.
enum class TransferSink { File, Buffer };

class InternetHttpClient {
 public:
  InternetHttpClient(InternetPort& internet, FilePort& files);
  // Releases strings and a held file not taken; handles are CloseHandles' work.
  virtual ~InternetHttpClient();
  InternetHttpClient(const InternetHttpClient&) = delete;
  InternetHttpClient& operator=(const InternetHttpClient&) = delete;

  // Sends the request set up in the fields below and streams the body to
  // the chosen sink with target as the sink target. size receives the
  // announced body length. A reply whose status is outside 200-299, or whose body ends
  // before its announced length, fails: an error page, a redirect or a torn
  // body never passes for the requested content. Every call reports exactly
  // one Done or Failed; after a failure the handles are closed. With bounds
  // set, no wait for the peer outlasts them; LastError() then tells why the
  // request failed.
  bool SendRequest(void* target, std::uint32_t* size, const char16_t* headers, std::uint32_t headerLength);

  // Client certificate, certificate store, request, connection, internet
  // handle: each released when held, and forgotten.
  void CloseHandles();

  // target: a file path. Begin creates the file, Data appends (a failed
  // write aborts), Done closes it (or, with holdFileWhenDone, seals it and
  // keeps it for TakeFile), Failed closes and deletes it.
  virtual int OnFileEvent(TransferEvent kind, const void* data, std::uint32_t length);
  // The sealed file of a request that succeeded with holdFileWhenDone, now
  // the caller's to close; kNoFile when there is none.
  FileHandle TakeFile();
  // target: a byte buffer whose capacity *size gives at Begin. The body and
  // a terminating 0 byte are written there; a body longer than its
  // announced length fails the request.
  virtual int OnBufferEvent(TransferEvent kind, const void* data, std::uint32_t length);

  std::u16string userAgent = kDefaultUserAgent;
  std::u16string method;
  UrlScheme scheme = UrlScheme::kUnknown;
  std::u16string host;
  std::uint16_t port = 0;
  std::u16string object;
  CrackedUrl urlParts;
  TransferSink sink = TransferSink::File;
  bool keepConnection = false;
  bool holdFileWhenDone = false;
  bool applyConnectTimeout = false;
  std::uint32_t connectTimeoutMs = kDefaultConnectTimeoutMs;
  // Connect, send and receive time-outs set on the internet handle; 0 keeps
  // WinINet's own.
  std::uint32_t networkTimeoutMs = 0;
  // The time limits of the whole request; none when null.
  TransferBounds* bounds = nullptr;
  // Keep WinINet's certificate checks instead of accepting any certificate.
  bool verifyCertificate = false;
  // Refuse a body that is empty or whose end cannot be told from a broken
  // connection (neither a length nor chunks).
  bool wholeBodyOnly = false;
  // A body longer than this fails; 0 for no cap.
  std::uint64_t maxBodyBytes = 0;
  CertificateStore certificateStore = 0;
  CertificateContext clientCertificate = 0;

  InternetHandle InternetSession() const { return internet_; }
  InternetHandle Connection() const { return connection_; }
  InternetHandle Request() const { return request_; }
  // Why the last request failed: the platform's error, kErrorTimedOut,
  // kErrorCancelled; 0 when it failed for another reason or succeeded.
  std::uint32_t LastError() const { return lastError_; }

 private:
  bool Transfer(const char16_t* headers, std::uint32_t headerLength);
  bool SendWithCertificateChoice(const char16_t* headers, std::uint32_t headerLength);
  bool StreamBody(std::uint32_t announced, bool chunked);
  WaitLimit NextWait();
  bool Succeeded(std::uint32_t error);
  int Report(TransferEvent kind, const void* data, std::uint32_t length);

  InternetPort& net_;
  FilePort& files_;
  InternetHandle internet_ = 0;
  InternetHandle connection_ = 0;
  InternetHandle request_ = 0;
  void* sinkTarget_ = nullptr;
  std::uint32_t* sinkSize_ = nullptr;
  FileHandle file_ = kNoFile;
  FileHandle heldFile_ = kNoFile;
  unsigned char* buffer_ = nullptr;
  std::uint32_t bufferWritten_ = 0;
  std::uint32_t bufferLimit_ = 0;  // the announced length; the capacity holds one more
  std::uint32_t lastError_ = 0;
};

}  // namespace vorlane
