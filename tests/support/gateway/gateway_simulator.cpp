#include "gateway_simulator.h"
#include "portal_page.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cctype>

#include "self_signed_certificate.h"

namespace vorlane::tests {
namespace {

constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kSlowPiece = 4096;
constexpr std::size_t kWritePiece = 64 * 1024;
constexpr DWORD kSocketTimeoutMs = 30000;
constexpr int kStopCheckMs = 50;
constexpr std::size_t kHugeHeadBytes = 64 * 1024;

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(std::string_view text) {
  std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

RecordedRequest ParseHead(const std::string& head) {
  RecordedRequest request;
  std::size_t lineEnd = head.find("\r\n");
  request.requestLine = head.substr(0, lineEnd);
  std::size_t at = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
  while (at < head.size()) {
    std::size_t end = head.find("\r\n", at);
    if (end == std::string::npos) end = head.size();
    std::string_view line(head.data() + at, end - at);
    if (line.empty()) break;
    std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
      request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
    at = end + 2;
  }
  return request;
}

int AcceptAnyCertificate(int, X509_STORE_CTX*) { return 1; }

class TlsConnection final : public GatewayConnection {
 public:
  explicit TlsConnection(SSL* ssl) : ssl_(ssl) {}
  using GatewayConnection::Write;
  bool Write(const void* bytes, std::size_t length) override {
    const char* p = static_cast<const char*>(bytes);
    while (length > 0) {
      int piece = static_cast<int>(std::min<std::size_t>(length, kWritePiece));
      int written = SSL_write(ssl_, p, piece);
      if (written <= 0) return false;
      p += written;
      length -= static_cast<std::size_t>(written);
    }
    return true;
  }

 private:
  SSL* ssl_;
};

std::string HtmlPage(std::string_view title) {
  return "<html><head><title>" + std::string(title) + "</title></head><body><h1>" + std::string(title) +
         "</h1></body></html>";
}

}  // namespace

std::string RecordedRequest::Method() const { return requestLine.substr(0, requestLine.find(' ')); }

std::string RecordedRequest::Target() const {
  std::size_t first = requestLine.find(' ');
  if (first == std::string::npos) return {};
  std::size_t second = requestLine.find(' ', first + 1);
  return requestLine.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
}

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (SameText(key, name)) return value;
  }
  return {};
}

std::size_t RecordedRequest::HeaderCount(std::string_view name) const {
  return static_cast<std::size_t>(
      std::count_if(headers.begin(), headers.end(), [&](const auto& h) { return SameText(h.first, name); }));
}

bool GatewayConnection::WriteHead(std::string_view status,
                                  const std::vector<std::pair<std::string, std::string>>& headers) {
  std::string head = "HTTP/1.1 " + std::string(status) + "\r\n";
  for (const auto& [name, value] : headers) head += name + ": " + value + "\r\n";
  head += "Connection: close\r\n\r\n";
  return Write(head);
}

GatewaySimulator::GatewaySimulator(std::uint16_t port)
    : requestedPort_(port) {
  Route(kInstallerTarget, [this](const RecordedRequest& request, GatewayConnection& connection) {
    ServeInstallerRequest(request, connection);
  });
  auto serve = [](std::string_view body, const char* type) {
    return [body, type](const RecordedRequest&, GatewayConnection& connection) {
      if (connection.WriteHead("200 OK", {{"Content-Type", type}, {"Content-Length", std::to_string(body.size())}})) {
        connection.Write(body);
      }
    };
  };
  Route(kPortalPageTarget, serve(kPortalPage, "text/html; charset=utf-8"));
  Route(kPortalScriptTarget, serve(kPortalScript, "text/javascript; charset=utf-8"));
}

GatewaySimulator::~GatewaySimulator() {
  Stop();
  X509_free(clientAuthority_);
}

void GatewaySimulator::TrustClientCertificatesFrom(X509* authority) {
  X509_up_ref(authority);
  X509_free(clientAuthority_);
  clientAuthority_ = authority;
}

bool GatewaySimulator::Start() {
  const SelfSignedCertificate& identity = LoopbackCertificate();
  if (identity.key == nullptr) return false;
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr || SSL_CTX_use_certificate(context, identity.certificate) != 1 ||
      SSL_CTX_use_PrivateKey(context, identity.key) != 1) {
    SSL_CTX_free(context);
    return false;
  }
  SSL_CTX_set_mode(context, SSL_MODE_AUTO_RETRY);
  // A server that asks for client certificates must name the context its
  // sessions belong to: without one OpenSSL answers every offer to resume a
  // session with a fatal internal_error alert, which a browser's second
  // connection to the gateway meets.
  static constexpr unsigned char kSessionContext[] = "vorlane gateway simulator";
  SSL_CTX_set_session_id_context(context, kSessionContext, sizeof kSessionContext - 1);
  if (clientAuthority_) {
    X509_STORE_add_cert(SSL_CTX_get_cert_store(context), clientAuthority_);
    SSL_CTX_add_client_CA(context, clientAuthority_);
  }
  return listener_.Start(context, requestedPort_, [this](std::uintptr_t socket) { Serve(socket); },
                         kSocketTimeoutMs);
}

void GatewaySimulator::Stop() { listener_.Stop(); }

bool GatewaySimulator::WaitReadable(std::uintptr_t socket, int milliseconds) {
  for (int waited = 0; waited < milliseconds && !listener_.Stopping(); waited += kStopCheckMs) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(static_cast<SOCKET>(socket), &ready);
    timeval wait{0, kStopCheckMs * 1000};
    if (select(0, &ready, nullptr, nullptr, &wait) != 0) return true;
  }
  return !listener_.Stopping();
}

void GatewaySimulator::ServeFault(std::uintptr_t socket, ConnectionFault fault) {
  SOCKET s = static_cast<SOCKET>(socket);
  char hello[4096];
  switch (fault) {
    case ConnectionFault::Silent: {
      // Reads and drops what comes until the client gives up or the hold ends.
      const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(silentHoldMs_.load());
      for (ULONGLONG now; (now = GetTickCount64()) < end;) {
        if (!WaitReadable(socket, static_cast<int>(end - now))) break;
        if (GetTickCount64() < end && recv(s, hello, sizeof hello, 0) <= 0) break;
      }
      break;
    }
    case ConnectionFault::NotTls: {
      if (WaitReadable(socket, static_cast<int>(kSocketTimeoutMs))) recv(s, hello, sizeof hello, 0);
      std::string body = HtmlPage("plain text");
      std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body;
      send(s, reply.data(), static_cast<int>(reply.size()), 0);
      break;
    }
    case ConnectionFault::ResetInHandshake: {
      if (WaitReadable(socket, static_cast<int>(kSocketTimeoutMs))) recv(s, hello, sizeof hello, 0);
      linger abort{1, 0};  // closesocket then sends RST
      setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
      break;
    }
    case ConnectionFault::None:
      break;
  }
}

void GatewaySimulator::Serve(std::uintptr_t socket) {
  if (ConnectionFault fault = fault_.load(); fault != ConnectionFault::None) {
    ++faultedConnections_;
    ServeFault(socket, fault);
    return;
  }
  SSL* ssl = SSL_new(listener_.Context());
  SSL_set_fd(ssl, static_cast<int>(socket));
  switch (clientCertificateMode_.load()) {
    case ClientCertificateMode::Require:
      SSL_set_verify(ssl, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, AcceptAnyCertificate);
      break;
    case ClientCertificateMode::Request:
      SSL_set_verify(ssl, SSL_VERIFY_PEER, AcceptAnyCertificate);
      break;
    case ClientCertificateMode::Ignore:
      break;
  }
  bool dropped = false;
  if (SSL_accept(ssl) != 1) {
    ++failedHandshakes_;
    dropped = true;
  } else {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHeadBytes) {
      int read = SSL_read(ssl, buffer, sizeof buffer);
      if (read <= 0) break;
      head.append(buffer, static_cast<std::size_t>(read));
    }
    if (head.find("\r\n\r\n") != std::string::npos) {
      RecordedRequest request = ParseHead(head);
      X509* peer = SSL_get1_peer_certificate(ssl);
      request.clientCertificatePresented = peer != nullptr;
      // The handshake let any certificate through; what the chain check made of it stays here.
      request.clientCertificateTrusted = peer != nullptr && SSL_get_verify_result(ssl) == X509_V_OK;
      if (peer) {
        char subject[256] = {};
        X509_NAME_oneline(X509_get_subject_name(peer), subject, sizeof subject);
        request.clientSubject = subject;
      }
      X509_free(peer);
      GatewayRoute route;
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        std::string target = request.Target();
        auto found = routes_.find(target.substr(0, target.find('?')));
        if (found != routes_.end()) route = found->second;
      }
      TlsConnection connection(ssl);
      if (route) {
        route(request, connection);
      } else {
        std::string body = HtmlPage("404 Not Found");
        connection.WriteHead("404 Not Found", {{"Content-Type", "text/html"},
                                               {"Content-Length", std::to_string(body.size())}});
        connection.Write(body);
      }
      dropped = connection.Aborted();
    }
  }
  if (!dropped) SSL_shutdown(ssl);
  SSL_free(ssl);
}

void GatewaySimulator::ServeInstaller(std::string bytes) {
  std::lock_guard lock(mutex_);
  installer_ = std::make_shared<const std::string>(std::move(bytes));
  generatedSize_ = 0;
}

bool GatewaySimulator::ServeInstallerFile(const std::u16string& path) {
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  ServeInstaller(std::move(bytes));
  return true;
}

void GatewaySimulator::ServeGeneratedInstaller(std::uint64_t size) {
  std::lock_guard lock(mutex_);
  installer_.reset();
  generatedSize_ = size;
}

unsigned char GatewaySimulator::GeneratedByte(std::uint64_t offset) {
  return static_cast<unsigned char>((offset * 131 + (offset >> 12)) & 0xFF);
}

void GatewaySimulator::Route(const std::string& target, GatewayRoute route) {
  std::lock_guard lock(mutex_);
  routes_[target] = std::move(route);
}

std::vector<RecordedRequest> GatewaySimulator::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void GatewaySimulator::ServeInstallerRequest(const RecordedRequest&, GatewayConnection& connection) {
  std::uint64_t size;
  {
    std::lock_guard lock(mutex_);
    size = installer_ ? installer_->size() : generatedSize_;
  }
  const std::string length = std::to_string(size);
  const std::pair<std::string, std::string> binary{"Content-Type", "application/octet-stream"};
  switch (mode_.load()) {
    case InstallerMode::Complete:
      if (connection.WriteHead("200 OK", {binary, {"Content-Length", length}}))
        WriteBody(connection, 0, size, kWritePiece, 0);
      break;
    case InstallerMode::ErrorStatus: {
      std::string body = HtmlPage("404 Not Found");
      connection.WriteHead("404 Not Found",
                           {{"Content-Type", "text/html"}, {"Content-Length", std::to_string(body.size())}});
      connection.Write(body);
      break;
    }
    case InstallerMode::Redirect: {
      std::string body = HtmlPage("302 Found");
      connection.WriteHead("302 Found", {{"Location", "https://127.0.0.1:" + std::to_string(Port()) + "/portal/"},
                                         {"Content-Type", "text/html"},
                                         {"Content-Length", std::to_string(body.size())}});
      connection.Write(body);
      break;
    }
    case InstallerMode::NoContentLength:
      if (connection.WriteHead("200 OK", {binary})) WriteBody(connection, 0, size, kWritePiece, 0);
      break;
    case InstallerMode::CutOff:
      if (connection.WriteHead("200 OK", {binary, {"Content-Length", length}})) {
        WriteBody(connection, 0, size / 2, kWritePiece, 0);
      }
      connection.Abort();
      break;
    case InstallerMode::Slow:
      if (connection.WriteHead("200 OK", {binary, {"Content-Length", length}}))
        WriteBody(connection, 0, size, kSlowPiece, slowPauseMs_);
      break;
    case InstallerMode::Trickle:
      if (connection.WriteHead("200 OK", {binary, {"Content-Length", length}}))
        WriteBody(connection, 0, size, 1, tricklePauseMs_);
      break;
    case InstallerMode::NotHttp:
      connection.Write("SSH-2.0-OpenSSH_9.2p1\r\n\x00\x00\x01\x14\x0a\x14\xde\xad\xbe\xef");
      break;
    case InstallerMode::HugeHeaders: {
      std::vector<std::pair<std::string, std::string>> headers{binary, {"Content-Length", length}};
      for (std::size_t held = 0, n = 0; held < kHugeHeadBytes; ++n) {
        headers.emplace_back("X-Padding-" + std::to_string(n), std::string(100, 'p'));
        held += headers.back().first.size() + headers.back().second.size() + 4;
      }
      if (connection.WriteHead("200 OK", headers)) WriteBody(connection, 0, size, kWritePiece, 0);
      break;
    }
  }
}

bool GatewaySimulator::WriteBody(GatewayConnection& connection, std::uint64_t from, std::uint64_t to,
                                 std::size_t pieceSize, int pauseMs) {
  std::shared_ptr<const std::string> held;
  {
    std::lock_guard lock(mutex_);
    held = installer_;
  }
  std::string piece;
  for (std::uint64_t at = from; at < to; at += pieceSize) {
    std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(pieceSize, to - at));
    if (held) {
      piece.assign(*held, static_cast<std::size_t>(at), length);
    } else {
      piece.resize(length);
      for (std::size_t i = 0; i < length; ++i) piece[i] = static_cast<char>(GeneratedByte(at + i));
    }
    if (!connection.Write(piece)) return false;
    if (pauseMs > 0 && !listener_.Stopping()) Sleep(static_cast<DWORD>(pauseMs));
  }
  return true;
}

}  // namespace vorlane::tests
