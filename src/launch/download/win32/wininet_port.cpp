#include "launch/download/win32/wininet_port.h"

#include <windows.h>
#include <wincrypt.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "launch/download/cracked_url.h"
#include "launch/download/internet_http_client.h"
#include "launch/download/win32/wininet_callback_context.h"
#include "support/win32/wide_text.h"

namespace vorlane {

static_assert(static_cast<int>(UrlScheme::kUnknown) == INTERNET_SCHEME_UNKNOWN);
static_assert(static_cast<int>(UrlScheme::kFtp) == INTERNET_SCHEME_FTP);
static_assert(static_cast<int>(UrlScheme::kHttp) == INTERNET_SCHEME_HTTP);
static_assert(static_cast<int>(UrlScheme::kHttps) == INTERNET_SCHEME_HTTPS);
static_assert(kErrorClientCertificateNeeded == ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED);
static_assert(kErrorTimedOut == ERROR_INTERNET_TIMEOUT);
static_assert(kErrorCancelled == ERROR_INTERNET_OPERATION_CANCELLED);
static_assert(kRequestFlagsHttpsVerified == (kRequestFlagsHttp | INTERNET_FLAG_SECURE));
static_assert(kRequestFlagsHttp == (INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT));
static_assert(kRequestFlagsHttps ==
              (kRequestFlagsHttp | INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID));

namespace {

HINTERNET H(InternetHandle handle) { return reinterpret_cast<HINTERNET>(handle); }
InternetHandle Handle(HINTERNET h) { return reinterpret_cast<InternetHandle>(h); }

bool QueryNumber(InternetHandle request, DWORD info, std::uint32_t& value) {
  DWORD number = 0;
  DWORD size = sizeof number;
  if (!HttpQueryInfoW(H(request), info | HTTP_QUERY_FLAG_NUMBER, &number, &size, nullptr)) return false;
  value = number;
  return true;
}

}  // namespace

WinInetPort::WinInetPort(void* cancelEvent) : cancel_(cancelEvent), context_(WinInetCallbackContext::Create()) {}

WinInetPort::~WinInetPort() {
  if (context_ != nullptr) context_->Release();
}

InternetHandle WinInetPort::Open(const char16_t* userAgent) {
  if (context_ == nullptr) return 0;
  HINTERNET internet = InternetOpenW(AsWide(userAgent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                     INTERNET_FLAG_ASYNC);
  if (internet == nullptr) return 0;
  if (InternetSetStatusCallbackW(internet, &WinInetCallbackContext::OnStatus) == INTERNET_INVALID_STATUS_CALLBACK) {
    InternetCloseHandle(internet);
    return 0;
  }
  return Handle(internet);
}

// Each handle made with the context holds a reference until WinINet closes
// it; a handle never made holds none.
InternetHandle WinInetPort::Connect(InternetHandle internet, const char16_t* host, std::uint16_t port) {
  context_->AddRef();
  HINTERNET connection = InternetConnectW(H(internet), AsWide(host), port, nullptr, nullptr, INTERNET_SERVICE_HTTP,
                                          0, context_->AsContext());
  if (connection == nullptr) context_->Release();
  return Handle(connection);
}

InternetHandle WinInetPort::OpenRequest(InternetHandle connection, const char16_t* method, const char16_t* object,
                                        std::uint32_t flags) {
  context_->AddRef();
  HINTERNET request = HttpOpenRequestW(H(connection), AsWide(method), AsWide(object), nullptr, nullptr, nullptr,
                                       flags, context_->AsContext());
  if (request == nullptr) context_->Release();
  return Handle(request);
}

bool WinInetPort::QuerySecurityFlags(InternetHandle request, std::uint32_t& flags) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!InternetQueryOptionW(H(request), INTERNET_OPTION_SECURITY_FLAGS, &value, &size)) return false;
  flags = value;
  return true;
}

bool WinInetPort::SetSecurityFlags(InternetHandle request, std::uint32_t flags) {
  DWORD value = flags;
  return InternetSetOptionW(H(request), INTERNET_OPTION_SECURITY_FLAGS, &value, sizeof value) != FALSE;
}

void WinInetPort::SetClientCertificate(InternetHandle request, CertificateContext certificate) {
  InternetSetOptionW(H(request), INTERNET_OPTION_CLIENT_CERT_CONTEXT,
                     reinterpret_cast<void*>(certificate), sizeof(CERT_CONTEXT));
}

void WinInetPort::SetConnectTimeout(InternetHandle request, std::uint32_t milliseconds) {
  DWORD value = milliseconds;
  InternetSetOptionW(H(request), INTERNET_OPTION_CONNECT_TIMEOUT, &value, sizeof value);
}

void WinInetPort::SetTimeouts(InternetHandle internet, std::uint32_t milliseconds) {
  DWORD value = milliseconds;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionW(H(internet), option, &value, sizeof value);
}

std::uint32_t WinInetPort::Await(WaitLimit limit) {
  HANDLE events[2] = {context_->Completed(), cancel_};
  DWORD count = cancel_ != nullptr ? 2 : 1;
  DWORD milliseconds = INFINITE;
  if (limit != kNoWaitLimit) milliseconds = static_cast<DWORD>(std::clamp<long long>(limit.count(), 0, INFINITE - 1));
  switch (WaitForMultipleObjects(count, events, FALSE, milliseconds)) {
    case WAIT_OBJECT_0:
      return context_->Error();
    case WAIT_OBJECT_0 + 1:
      return kErrorCancelled;
    case WAIT_TIMEOUT:
      return kErrorTimedOut;
    default:
      return GetLastError();
  }
}

std::uint32_t WinInetPort::Send(InternetHandle request, const char16_t* headers, std::uint32_t headerLength,
                                WaitLimit limit) {
  context_->Arm();
  const wchar_t* kept = context_->KeepHeaders(headers, headerLength);
  if (HttpSendRequestW(H(request), headers == nullptr ? nullptr : kept, headerLength, nullptr, 0)) return 0;
  DWORD error = GetLastError();
  return error == ERROR_IO_PENDING ? Await(limit) : error;
}

std::uint32_t WinInetPort::ChooseClientCertificate(InternetHandle request) {
  return InternetErrorDlg(GetDesktopWindow(), H(request), ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED,
                          FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                              FLAGS_ERROR_UI_FLAGS_GENERATE_DATA,
                          nullptr);
}

// WinINet takes a reply that does not begin with a status line for an
// HTTP/0.9 one: it makes up "200 OK" and finds no header at all. Every HTTP/1.x
// reply of a gateway names at least one header, so a reply without any has
// no status line to go by.
bool WinInetPort::QueryStatusCode(InternetHandle request, std::uint32_t& status) {
  DWORD size = 0;
  HttpQueryInfoW(H(request), HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return false;
  std::wstring head(size / sizeof(wchar_t) + 1, L'\0');
  if (!HttpQueryInfoW(H(request), HTTP_QUERY_RAW_HEADERS_CRLF, head.data(), &size, nullptr)) return false;
  head.resize(size / sizeof(wchar_t));
  // The status line, then at most the blank line that ends the head.
  std::size_t statusLineEnd = head.find(L"\r\n");
  if (statusLineEnd == std::wstring::npos || head.size() <= statusLineEnd + 4) return false;
  return QueryNumber(request, HTTP_QUERY_STATUS_CODE, status);
}

bool WinInetPort::QueryContentLength(InternetHandle request, std::uint32_t& length) {
  return QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, length);
}

bool WinInetPort::QueryChunked(InternetHandle request) {
  wchar_t coding[64] = {};
  DWORD size = sizeof coding - sizeof(wchar_t);
  if (!HttpQueryInfoW(H(request), HTTP_QUERY_TRANSFER_ENCODING, coding, &size, nullptr)) return false;
  return lstrcmpiW(coding, L"chunked") == 0;
}

// InternetReadFile waits until the buffer is full, so a body that trickles
// would never complete a read within the stall limit: the read first waits
// for any data, then takes what is there. Both write into the context,
// which outlives a wait given up; what came is copied out once complete.
std::uint32_t WinInetPort::Read(InternetHandle request, void* buffer, std::uint32_t capacity, std::uint32_t& read,
                                WaitLimit limit) {
  context_->Arm();
  DWORD* available = context_->AvailableCount();
  *available = 0;
  if (!InternetQueryDataAvailable(H(request), available, 0, 0)) {
    DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return error;
    if ((error = Await(limit)) != 0) return error;
  }
  // Without a count (at the end of the body, say) one byte is asked for:
  // the answer then comes at once.
  DWORD asked = std::min<DWORD>({std::max<DWORD>(*available, 1), capacity, kReadChunkSize});
  context_->Arm();
  DWORD* count = context_->ReadCount();
  *count = 0;
  if (!InternetReadFile(H(request), context_->ReadBuffer(), asked, count)) {
    DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return error;
    if ((error = Await(limit)) != 0) return error;
  }
  read = std::min<DWORD>(*count, asked);
  std::memcpy(buffer, context_->ReadBuffer(), read);
  return 0;
}

void WinInetPort::CloseHandle(InternetHandle handle) { InternetCloseHandle(H(handle)); }

void WinInetPort::FreeCertificate(CertificateContext certificate) {
  CertFreeCertificateContext(reinterpret_cast<PCCERT_CONTEXT>(certificate));
}

void WinInetPort::CloseStore(CertificateStore store) { CertCloseStore(reinterpret_cast<HCERTSTORE>(store), 0); }

FileHandle Win32FilePort::Create(const char16_t* path) {
  HANDLE file =
      CreateFileW(AsWide(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  return reinterpret_cast<FileHandle>(file);
}

// A program cannot be started while anyone holds its file for writing, and a
// handle that lets only readers in cannot be opened while one does; so a
// reader that shares writing bridges the two. It keeps deleting and renaming
// out throughout; a writer that comes in through it makes the seal fail.
FileHandle Win32FilePort::Seal(FileHandle file, const char16_t* path) {
  HANDLE bridge = CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ::CloseHandle(reinterpret_cast<HANDLE>(file));
  if (bridge == INVALID_HANDLE_VALUE) return kNoFile;
  HANDLE sealed =
      CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ::CloseHandle(bridge);
  return reinterpret_cast<FileHandle>(sealed);
}

bool Win32FilePort::Write(FileHandle file, const void* bytes, std::uint32_t length) {
  DWORD written = 0;
  return WriteFile(reinterpret_cast<HANDLE>(file), bytes, length, &written, nullptr) && written == length;
}

void Win32FilePort::Close(FileHandle file) { ::CloseHandle(reinterpret_cast<HANDLE>(file)); }

void Win32FilePort::Delete(const char16_t* path) { DeleteFileW(AsWide(path)); }

}  // namespace vorlane
