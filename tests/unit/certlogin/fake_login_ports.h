#pragma once
// Scripted fakes of the certificate login's ports. Every call that matters
// for order lands in one shared log, so a test can read the whole attempt.
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "certlogin/login_ports.h"
#include "fakes/fake_page.h"

namespace vorlane::tests {

using CallLog = std::vector<std::string>;

inline std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
inline std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class FakeTls final : public TlsLibrary {
 public:
  explicit FakeTls(CallLog& log) : log_(log) {}

  // Results to give; the defaults make a successful exchange.
  bool contextMade = true, versionCapped = true, sigalgsTaken = true, engineFound = true, connectionMade = true;
  int certEngineResult = 1, setSocketResult = 1, connectResult = 1;
  std::deque<int> writeResults;  // empty: everything asked is written
  // Pieces handed out by successive reads; once used up, reads answer 0.
  std::deque<std::string> replyPieces;
  std::string written;            // every byte written, in order
  std::vector<int> readCapacities;
  int engineReferences = 0;       // EngineById minus FreeEngine
  std::string sigalgs;

  void Start() override { log_.push_back("start"); }
  TlsContext* NewClientContext() override {
    log_.push_back("context new");
    return contextMade ? Handle<TlsContext>(1) : nullptr;
  }
  bool SetMaxVersionTls12(TlsContext*) override {
    log_.push_back("max version TLS 1.2");
    return versionCapped;
  }
  bool SetClientSignatureAlgorithms(TlsContext*, const char* list) override {
    sigalgs = list;
    log_.push_back("client sigalgs");
    return sigalgsTaken;
  }
  void CleanupEngines() override { log_.push_back("engine cleanup"); }
  void LoadCapiEngine() override { log_.push_back("engine load capi"); }
  TlsEngine* EngineById(const char* id) override {
    log_.push_back(std::string("engine by id ") + id);
    if (!engineFound) return nullptr;
    ++engineReferences;
    return Handle<TlsEngine>(3);
  }
  void SetDefaultEngine(TlsEngine*) override { log_.push_back("engine set default"); }
  int SetClientCertEngine(TlsContext*, TlsEngine*) override {
    log_.push_back("client cert engine");
    return certEngineResult;
  }
  void FreeEngine(TlsEngine*) override {
    --engineReferences;
    log_.push_back("engine free");
  }
  TlsConnection* NewConnection(TlsContext*) override {
    log_.push_back("connection new");
    return connectionMade ? Handle<TlsConnection>(2) : nullptr;
  }
  int SetSocket(TlsConnection*, SocketHandle socket) override {
    log_.push_back("set fd " + std::to_string(socket));
    return setSocketResult;
  }
  void SetAutoRetry(TlsConnection*) override { log_.push_back("auto retry"); }
  int Connect(TlsConnection*) override {
    log_.push_back("handshake");
    return connectResult;
  }
  int Write(TlsConnection*, const char* bytes, int length) override {
    log_.push_back("write");
    int result = length;
    if (!writeResults.empty()) {
      result = writeResults.front();
      writeResults.pop_front();
    }
    if (result > 0) written.append(bytes, static_cast<std::size_t>(result));
    return result;
  }
  int Read(TlsConnection*, char* buffer, int capacity) override {
    log_.push_back("read");
    readCapacities.push_back(capacity);
    if (replyPieces.empty()) return 0;
    std::string piece = replyPieces.front();
    replyPieces.pop_front();
    if (piece.size() > static_cast<std::size_t>(capacity)) {
      replyPieces.push_front(piece.substr(capacity));
      piece.resize(capacity);
    }
    piece.copy(buffer, piece.size());
    return static_cast<int>(piece.size());
  }
  void FreeConnection(TlsConnection*) override { log_.push_back("connection free"); }
  void FreeContext(TlsContext*) override { log_.push_back("context free"); }

 private:
  template <typename T>
  static T* Handle(std::uintptr_t value) {
    return reinterpret_cast<T*>(value);
  }
  CallLog& log_;
};

class FakeSockets final : public GatewaySockets {
 public:
  explicit FakeSockets(CallLog& log) : log_(log) {}

  std::map<std::string, ResolvedHost> names;  // the others do not resolve
  bool socketMade = true, connects = true;
  SocketHandle nextSocket = 7;
  std::string resolved;
  std::uint32_t connectedAddress = 0;
  std::uint16_t connectedPort = 0;
  std::chrono::milliseconds connectLimit{0}, transferLimit{0};

  void Startup() override { log_.push_back("winsock"); }
  std::optional<ResolvedHost> Resolve(const std::string& host) override {
    resolved = host;
    log_.push_back("resolve " + host);
    auto found = names.find(host);
    if (found == names.end()) return std::nullopt;
    return found->second;
  }
  SocketHandle Open() override {
    log_.push_back("socket");
    return socketMade ? nextSocket : kNoSocket;
  }
  bool Connect(SocketHandle, std::uint32_t address, std::uint16_t port, std::chrono::milliseconds limit) override {
    connectedAddress = address;
    connectedPort = port;
    connectLimit = limit;
    log_.push_back("connect");
    return connects;
  }
  void LimitTransfers(SocketHandle, std::chrono::milliseconds limit) override {
    transferLimit = limit;
    log_.push_back("limit transfers");
  }
  void Close(SocketHandle socket) override { log_.push_back("closesocket " + std::to_string(socket)); }

 private:
  CallLog& log_;
};

// The portal page the login starts from: gateway host, its portal address and
// a session cookie. Cookie reads and navigations land in log.
inline FakePage LoginPage(CallLog& log) {
  FakePage page;
  page.hostname = u"gw.example";
  page.port = u"";
  page.host = u"gw.example";
  page.href = u"https://gw.example/portals/index.html";
  page.cookie = u"lang=en; Varnex_SSLID=0123456789abcdef0123456789abcdef";
  page.documentUrl = u"https://gw.example/portals/index.html";
  page.log = &log;
  return page;
}

// Texts here are plain ASCII: the conversions keep them byte for byte.
class FakeCodePages final : public CodePages {
 public:
  std::string ToAnsi(const std::u16string& text) override { return Narrow(text); }
  std::u16string FromUtf8(const std::string& text) override { return Wide(text); }
};

class FakeCookieStore final : public CookieStore {
 public:
  explicit FakeCookieStore(CallLog& log) : log_(log) {}
  std::vector<std::pair<std::u16string, std::u16string>> stored;
  void SetCookie(const std::u16string& url, const std::u16string& data) override {
    stored.emplace_back(url, data);
    log_.push_back("cookie " + Narrow(url) + " " + Narrow(data));
  }

 private:
  CallLog& log_;
};

class FakeClock final : public LoginClock {
 public:
  explicit FakeClock(CallLog& log) : log_(log) {}
  std::chrono::system_clock::time_point now{};
  std::chrono::system_clock::time_point Now() override { return now; }
  void Pause(std::chrono::milliseconds length) override {
    log_.push_back("pause " + std::to_string(length.count()));
  }

 private:
  CallLog& log_;
};

class FakeNotice final : public UserNotice {
 public:
  explicit FakeNotice(CallLog& log) : log_(log) {}
  std::vector<MessageChoice> shown;
  void Show(MessageChoice message) override {
    shown.push_back(message);
    log_.push_back("message " + std::to_string(message.entry) + " slot " + std::to_string(message.slot));
  }

 private:
  CallLog& log_;
};

// All of them at once, wired as the exchange takes them.
struct FakeLogin {
  CallLog log;
  FakeTls tls{log};
  FakeSockets sockets{log};
  FakePage page = LoginPage(log);
  FakeCodePages codePages;
  FakeCookieStore cookies{log};
  FakeClock clock{log};
  FakeNotice notice{log};
  LoginPorts ports{tls, sockets, cookies, codePages, clock, notice};

  FakeLogin() { sockets.names["gw.example"] = {true, 0x0A000001}; }
};

}  // namespace vorlane::tests
