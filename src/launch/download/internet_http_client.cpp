#include "launch/download/internet_http_client.h"

#include <cstring>

namespace vorlane {

InternetHttpClient::InternetHttpClient(InternetPort& internet, FilePort& files)
    : net_(internet), files_(files) {}

InternetHttpClient::~InternetHttpClient() {
  if (heldFile_ != kNoFile) files_.Close(heldFile_);
}

bool InternetHttpClient::SendRequest(void* target, std::uint32_t* size, const char16_t* headers,
                                     std::uint32_t headerLength) {
  bool refused = target == nullptr || method.empty() || (scheme != UrlScheme::kHttp && scheme != UrlScheme::kHttps);
  bool ok = false;
  lastError_ = 0;
  if (!refused) {
    sinkTarget_ = target;
    sinkSize_ = size;
    ok = Transfer(headers, headerLength);
  }
  Report(ok ? TransferEvent::kDone : TransferEvent::kFailed, nullptr, 0);
  if (!ok) CloseHandles();
  return ok;
}

bool InternetHttpClient::Transfer(const char16_t* headers, std::uint32_t headerLength) {
  if (connection_ == 0) {
    if (internet_ == 0) {
      internet_ = net_.Open(userAgent.c_str());
      if (internet_ != 0 && networkTimeoutMs != 0) net_.SetTimeouts(internet_, networkTimeoutMs);
    }
    if (internet_ == 0) return false;
    connection_ = net_.Connect(internet_, host.c_str(), port);
    if (connection_ == 0) return false;
  }

  std::uint32_t flags = kRequestFlagsHttp;
  if (scheme == UrlScheme::kHttps) flags = verifyCertificate ? kRequestFlagsHttpsVerified : kRequestFlagsHttps;
  if (keepConnection) flags |= kRequestFlagKeepConnection;

  if (request_ != 0) {
    net_.CloseHandle(request_);
    request_ = 0;
  }
  request_ = net_.OpenRequest(connection_, method.c_str(), object.c_str(), flags);
  if (request_ == 0) return false;

  if (scheme == UrlScheme::kHttps && !verifyCertificate) {
    std::uint32_t security = 0;
    if (!net_.QuerySecurityFlags(request_, security)) return false;
    if (!net_.SetSecurityFlags(request_, security | kAcceptAnyCertificateFlags)) return false;
  }
  if (clientCertificate != 0) net_.SetClientCertificate(request_, clientCertificate);
  if (applyConnectTimeout) net_.SetConnectTimeout(request_, connectTimeoutMs);

  if (!SendWithCertificateChoice(headers, headerLength)) return false;

  std::uint32_t status = 0;
  if (!net_.QueryStatusCode(request_, status) || status < 200 || status > 299) return false;

  std::uint32_t announced = 0;
  bool hasLength = net_.QueryContentLength(request_, announced);
  if (!hasLength) announced = 0;
  bool chunked = !hasLength && net_.QueryChunked(request_);
  if (wholeBodyOnly && (hasLength ? announced == 0 : !chunked)) return false;
  if (maxBodyBytes != 0 && announced > maxBodyBytes) return false;
  if (Report(TransferEvent::kBegin, &announced, sizeof announced) != 0) return false;
  if (sinkSize_ != nullptr) *sinkSize_ = announced;
  return StreamBody(announced, chunked);
}

WaitLimit InternetHttpClient::NextWait() { return bounds == nullptr ? kNoWaitLimit : bounds->NextWait(); }

bool InternetHttpClient::Succeeded(std::uint32_t error) {
  if (error == kErrorSuccess) {
    if (bounds != nullptr) bounds->Progress();
    return true;
  }
  lastError_ = error;
  return false;
}

bool InternetHttpClient::SendWithCertificateChoice(const char16_t* headers, std::uint32_t headerLength) {
  WaitLimit limit = NextWait();
  std::uint32_t error = limit == WaitLimit::zero() ? kErrorTimedOut : net_.Send(request_, headers, headerLength, limit);
  if (error == kErrorSuccess) return Succeeded(error);
  if (error != kErrorClientCertificateNeeded) return Succeeded(error);
  // The user's choice is not the peer's delay: the bounds wait meanwhile.
  if (net_.ChooseClientCertificate(request_) != kErrorSuccess) return false;
  if (bounds != nullptr) bounds->Progress();
  limit = NextWait();
  return Succeeded(limit == WaitLimit::zero() ? kErrorTimedOut : net_.Send(request_, headers, headerLength, limit));
}

bool InternetHttpClient::StreamBody(std::uint32_t announced, bool chunked) {
  unsigned char chunk[kReadChunkSize];
  std::uint64_t total = 0;
  for (;;) {
    std::uint32_t read = 0;
    WaitLimit limit = NextWait();
    if (limit == WaitLimit::zero()) return Succeeded(kErrorTimedOut);
    if (!Succeeded(net_.Read(request_, chunk, kReadChunkSize, read, limit))) return false;
    if (read == 0) break;
    total += read;
    if (maxBodyBytes != 0 && total > maxBodyBytes) return false;
    if (Report(TransferEvent::kData, chunk, read) != 0) return false;
  }
  if (wholeBodyOnly && total == 0) return false;
  // A chunked body ends with its last chunk, which WinINet looks for; a
  // length must be met.
  return chunked || total >= announced;
}

int InternetHttpClient::Report(TransferEvent kind, const void* data, std::uint32_t length) {
  return sink == TransferSink::Buffer ? OnBufferEvent(kind, data, length) : OnFileEvent(kind, data, length);
}

void InternetHttpClient::CloseHandles() {
  if (clientCertificate != 0) {
    net_.FreeCertificate(clientCertificate);
    clientCertificate = 0;
  }
  if (certificateStore != 0) {
    net_.CloseStore(certificateStore);
    certificateStore = 0;
  }
  for (InternetHandle* handle : {&request_, &connection_, &internet_}) {
    if (*handle != 0) {
      net_.CloseHandle(*handle);
      *handle = 0;
    }
  }
}

FileHandle InternetHttpClient::TakeFile() {
  FileHandle held = heldFile_;
  heldFile_ = kNoFile;
  return held;
}

int InternetHttpClient::OnFileEvent(TransferEvent kind, const void* data, std::uint32_t length) {
  const auto* path = static_cast<const char16_t*>(sinkTarget_);
  switch (kind) {
    case TransferEvent::kBegin:
      file_ = path == nullptr ? kNoFile : files_.Create(path);
      return file_ == kNoFile ? kFileFailed : 0;
    case TransferEvent::kData:
      if (file_ != kNoFile && !files_.Write(file_, data, length)) return kFileFailed;
      return 0;
    case TransferEvent::kDone:
      if (file_ != kNoFile && holdFileWhenDone) {
        heldFile_ = files_.Seal(file_, path);
      } else if (file_ != kNoFile) {
        files_.Close(file_);
      }
      file_ = kNoFile;
      return 0;
    case TransferEvent::kFailed:
      if (file_ != kNoFile) {
        files_.Close(file_);
        file_ = kNoFile;
        files_.Delete(path);
        sinkTarget_ = nullptr;
      }
      return 0;
    default:
      return 0;
  }
}

int InternetHttpClient::OnBufferEvent(TransferEvent kind, const void* data, std::uint32_t length) {
  switch (kind) {
    case TransferEvent::kBegin: {
      std::uint32_t announced = 0;
      std::memcpy(&announced, data, sizeof announced);
      std::uint32_t capacity = sinkSize_ == nullptr ? 0 : *sinkSize_;
      buffer_ = nullptr;
      bufferWritten_ = 0;
      if (announced == 0) return 0;
      if (capacity < static_cast<std::uint64_t>(announced) + 1) return kBufferTooSmall;
      buffer_ = static_cast<unsigned char*>(sinkTarget_);
      bufferLimit_ = announced;
      return 0;
    }
    case TransferEvent::kData:
      if (buffer_ == nullptr) return 0;
      // A body longer than announced is not the reply that was sized (and
      // could leave no room for the terminator): stop instead.
      if (length > bufferLimit_ - bufferWritten_) return kBufferTooSmall;
      std::memcpy(buffer_ + bufferWritten_, data, length);
      bufferWritten_ += length;
      return 0;
    case TransferEvent::kDone:
      if (buffer_ != nullptr) buffer_[bufferWritten_] = 0;  // Begin made room for it
      return 0;
    case TransferEvent::kFailed:
      buffer_ = nullptr;
      sinkTarget_ = nullptr;
      sinkSize_ = nullptr;
      return 0;
    default:
      return 0;
  }
}

}  // namespace vorlane
