// InternetHttpClient against a scripted WinINet: which calls fail, what the
// send and the certificate dialog answer, the status, the announced length,
// the body and the sizes and failures of the reads. Every request ends with
// exactly one Done or Failed; a request that succeeds has a 2xx status and
// its whole body in the sink; one that fails leaves no file behind and every
// handle closed.
//
// Input (read with FuzzedDataProvider): the client's set-up and sink, then
// for each of one or two requests its script and its body.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "launch/download/fake_internet.h"
#include "launch/download/internet_http_client.h"

namespace vorlane::fuzz {
namespace {

constexpr std::uint32_t kConnectionAborted = 12030;  // ERROR_INTERNET_CONNECTION_ABORTED

// One request's answers.
struct Script {
  bool openFails = false, connectFails = false, openRequestFails = false;
  bool querySecurityFails = false, setSecurityFails = false;
  std::deque<std::uint32_t> sendResults;  // then 0
  std::uint32_t dialogAnswer = 0;
  bool statusKnown = true;
  std::uint32_t status = 200;
  bool hasLength = true;
  std::uint32_t announced = 0;
  std::string body;
  std::deque<std::uint32_t> chunks;  // bytes per read, 0 ends the body early; then whole reads
  int failingRead = -1;              // the read (0-based) that fails
};

class ScriptedInternet final : public InternetPort {
 public:
  Script script;
  std::set<InternetHandle> open;
  std::size_t delivered = 0;
  bool readFailed = false;
  int sends = 0, dialogs = 0, certificatesFreed = 0, storesClosed = 0;
  std::uint32_t requestFlags = 0, securityFlags = 0;
  std::u16string headers;

  InternetHandle Open(const char16_t*) override { return Make(script.openFails); }
  InternetHandle Connect(InternetHandle, const char16_t*, std::uint16_t) override { return Make(script.connectFails); }
  InternetHandle OpenRequest(InternetHandle, const char16_t*, const char16_t*, std::uint32_t flags) override {
    requestFlags = flags;
    return Make(script.openRequestFails);
  }
  bool QuerySecurityFlags(InternetHandle, std::uint32_t& flags) override {
    flags = 0x8;
    return !script.querySecurityFails;
  }
  bool SetSecurityFlags(InternetHandle, std::uint32_t flags) override {
    securityFlags = flags;
    return !script.setSecurityFails;
  }
  void SetClientCertificate(InternetHandle, CertificateContext) override {}
  void SetConnectTimeout(InternetHandle, std::uint32_t) override {}
  void SetTimeouts(InternetHandle, std::uint32_t) override {}
  std::uint32_t Send(InternetHandle, const char16_t* h, std::uint32_t length, WaitLimit) override {
    ++sends;
    headers.assign(h, length);
    if (script.sendResults.empty()) return 0;
    std::uint32_t result = script.sendResults.front();
    script.sendResults.pop_front();
    return result;
  }
  std::uint32_t ChooseClientCertificate(InternetHandle) override {
    ++dialogs;
    return script.dialogAnswer;
  }
  bool QueryStatusCode(InternetHandle, std::uint32_t& status) override {
    status = script.status;
    return script.statusKnown;
  }
  bool QueryContentLength(InternetHandle, std::uint32_t& length) override {
    length = script.announced;
    return script.hasLength;
  }
  // A reply without a length comes in chunks: its end is a read of nothing.
  bool QueryChunked(InternetHandle) override { return !script.hasLength; }
  std::uint32_t Read(InternetHandle, void* buffer, std::uint32_t capacity, std::uint32_t& read,
                     WaitLimit) override {
    Require(capacity == kReadChunkSize, "reads ask for 10240 bytes");
    if (reads_++ == script.failingRead) {
      readFailed = true;
      return kConnectionAborted;
    }
    std::size_t left = ended_ ? 0 : script.body.size() - delivered;
    std::size_t n = std::min<std::size_t>(left, capacity);
    if (!script.chunks.empty()) {
      n = std::min<std::size_t>(n, script.chunks.front());
      if (script.chunks.front() == 0) ended_ = true;
      script.chunks.pop_front();
    }
    std::memcpy(buffer, script.body.data() + delivered, n);
    delivered += n;
    read = static_cast<std::uint32_t>(n);
    return kErrorSuccess;
  }
  void CloseHandle(InternetHandle handle) override {
    Require(open.erase(handle) == 1, "only open handles are closed, once");
  }
  void FreeCertificate(CertificateContext) override { ++certificatesFreed; }
  void CloseStore(CertificateStore) override { ++storesClosed; }

  void NextRequest(Script next) {
    script = std::move(next);
    delivered = 0;
    readFailed = false;
    reads_ = 0;
    ended_ = false;
  }

 private:
  InternetHandle Make(bool fails) {
    if (fails) return 0;
    open.insert(++last_);
    return last_;
  }
  InternetHandle last_ = 0;
  int reads_ = 0;
  bool ended_ = false;
};

// Every event the sinks receive, then the real sink acts.
class RecordingClient final : public InternetHttpClient {
 public:
  using InternetHttpClient::InternetHttpClient;
  int OnFileEvent(TransferEvent kind, const void* data, std::uint32_t length) override {
    Record(kind, length);
    return InternetHttpClient::OnFileEvent(kind, data, length);
  }
  int OnBufferEvent(TransferEvent kind, const void* data, std::uint32_t length) override {
    Record(kind, length);
    return InternetHttpClient::OnBufferEvent(kind, data, length);
  }
  std::vector<TransferEvent> events;
  std::uint64_t dataBytes = 0;

 private:
  void Record(TransferEvent kind, std::uint32_t length) {
    events.push_back(kind);
    if (kind == TransferEvent::kData) dataBytes += length;
  }
};

Script ScriptFrom(FuzzedDataProvider& in) {
  Script s;
  auto rarely = [&] { return in.ConsumeIntegralInRange(0, 15) == 0; };
  s.openFails = rarely();
  s.connectFails = rarely();
  s.openRequestFails = rarely();
  s.querySecurityFails = rarely();
  s.setSecurityFails = rarely();
  for (int sends = in.ConsumeIntegralInRange(0, 2); sends > 0; --sends) {
    s.sendResults.push_back(in.ConsumeBool() ? kErrorClientCertificateNeeded : in.ConsumeIntegralInRange(0u, 12100u));
  }
  s.dialogAnswer = in.ConsumeBool() ? 0 : 1223;  // ERROR_CANCELLED
  s.statusKnown = !rarely();
  constexpr std::uint32_t kStatuses[] = {200, 200, 206, 299, 301, 404, 500, 199, 300, 0};
  s.status = in.ConsumeBool() ? in.PickValueInArray(kStatuses) : in.ConsumeIntegral<std::uint16_t>();
  s.body = in.ConsumeRandomLengthString(30000);
  s.hasLength = in.ConsumeIntegralInRange(0, 3) != 0;
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: s.announced = static_cast<std::uint32_t>(s.body.size()); break;
    case 1: s.announced = static_cast<std::uint32_t>(s.body.size()) + in.ConsumeIntegralInRange(1, 3); break;
    case 2: s.announced = static_cast<std::uint32_t>(s.body.size()) - std::min<std::uint32_t>(s.body.size(), in.ConsumeIntegralInRange(1, 3)); break;
    default: s.announced = in.ConsumeIntegral<std::uint32_t>(); break;
  }
  if (!s.hasLength) s.announced = 0;
  for (int chunks = in.ConsumeIntegralInRange(0, 6); chunks > 0; --chunks) {
    s.chunks.push_back(in.ConsumeBool() ? in.ConsumeIntegralInRange(0u, 16u) : in.ConsumeIntegralInRange(0u, 12000u));
  }
  s.failingRead = rarely() ? in.ConsumeIntegralInRange(0, 6) : -1;
  return s;
}

void CheckEvents(const RecordingClient& client, bool ok) {
  const auto& e = client.events;
  Require(!e.empty(), "a request reports its end");
  const long ends = std::count(e.begin(), e.end(), TransferEvent::kDone) +
                    std::count(e.begin(), e.end(), TransferEvent::kFailed);
  Require(ends == 1, "exactly one Done or Failed per request", std::to_string(ends));
  Require(e.back() == (ok ? TransferEvent::kDone : TransferEvent::kFailed),
          "the request ends with Done when it succeeded, Failed otherwise");
  const long begins = std::count(e.begin(), e.end(), TransferEvent::kBegin);
  Require(begins <= 1 && (begins == 0 || e.front() == TransferEvent::kBegin), "Begin comes once, first");
  Require(begins == 1 || std::count(e.begin(), e.end(), TransferEvent::kData) == 0, "no Data before Begin");
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  FuzzedDataProvider in(data, size);
  ScriptedInternet net;
  tests::FakeFiles files;
  RecordingClient client(net, files);
  client.method = in.ConsumeIntegralInRange(0, 15) == 0 ? u"" : u"GET";
  constexpr UrlScheme kSchemes[] = {UrlScheme::kHttps, UrlScheme::kHttps, UrlScheme::kHttp, UrlScheme::kFtp,
                                    UrlScheme::kUnknown};
  client.scheme = in.PickValueInArray(kSchemes);
  client.host = u"gw.example";
  client.port = 443;
  client.object = u"/sslvpn/client/UpdateInstaller.exe";
  client.keepConnection = in.ConsumeBool();
  client.holdFileWhenDone = in.ConsumeBool();
  client.sink = in.ConsumeBool() ? TransferSink::Buffer : TransferSink::File;
  const bool certificate = in.ConsumeIntegralInRange(0, 3) == 0;
  if (certificate) {
    client.clientCertificate = 77;
    client.certificateStore = 78;
  }
  const std::u16string path = u"C:\\Temp\\UpdateInstaller.exe";
  const bool earlierFile = in.ConsumeBool();
  if (earlierFile) files.files[path] = "earlier installer";
  if (in.ConsumeIntegralInRange(0, 7) == 0) files.locked.insert(path);
  if (in.ConsumeIntegralInRange(0, 7) == 0) files.writesFail = true;
  const std::u16string header = u"Cookie: Varnex_SSLID=0123456789abcdef0123456789abcdef";

  const int requests = in.ConsumeIntegralInRange(1, 2);
  for (int r = 0; r < requests; ++r) {
    net.NextRequest(ScriptFrom(in));
    const Script script = net.script;
    client.events.clear();
    client.dataBytes = 0;
    const int createsBefore = files.Creates();
    const std::string fileBefore = files.files.count(path) ? files.files[path] : std::string();
    const bool fileExistedBefore = files.files.count(path) != 0;

    std::uint32_t capacity = in.ConsumeBool() ? script.announced + 1 : in.ConsumeIntegralInRange(0u, 40000u);
    if (capacity > 1u << 20) capacity = 1u << 20;
    // Exactly the capacity given, so that a byte written past it is caught.
    auto buffer = std::make_unique<unsigned char[]>(capacity);
    std::memset(buffer.get(), 0xAA, capacity);
    std::uint32_t sinkSize = capacity;
    void* target = client.sink == TransferSink::Buffer ? static_cast<void*>(buffer.get())
                                                       : const_cast<char16_t*>(path.c_str());
    const bool ok = client.SendRequest(target, &sinkSize, header.c_str(), static_cast<std::uint32_t>(header.size()));

    CheckEvents(client, ok);
    const std::string body = script.body.substr(0, net.delivered);
    if (ok) {
      Require(client.scheme == UrlScheme::kHttp || client.scheme == UrlScheme::kHttps, "only HTTP(S) is served");
      Require(!client.method.empty(), "a request without a method is refused");
      Require(script.statusKnown && script.status >= 200 && script.status <= 299,
              "only a 2xx reply succeeds", std::to_string(script.status));
      Require(!net.readFailed, "a failed read fails the request");
      Require(net.delivered >= script.announced, "no request succeeds with less body than announced",
              std::to_string(net.delivered) + " of " + std::to_string(script.announced));
      Require(client.dataBytes == net.delivered, "every byte read reaches the sink");
      Require(sinkSize == script.announced, "the announced length is handed back");
      Require(net.headers == header, "the caller's headers go with the request");
      std::uint32_t flags = client.scheme == UrlScheme::kHttps ? kRequestFlagsHttps : kRequestFlagsHttp;
      if (client.keepConnection) flags |= kRequestFlagKeepConnection;
      Require(net.requestFlags == flags, "the request flags follow scheme and keep-connection");
      if (client.scheme == UrlScheme::kHttps) {
        Require((net.securityFlags & kAcceptAnyCertificateFlags) == kAcceptAnyCertificateFlags,
                "any gateway certificate is accepted");
      }
      if (client.sink == TransferSink::File) {
        Require(files.files.count(path) && files.files[path] == body, "the file holds the body, whole",
                std::to_string(files.files[path].size()) + " bytes of " + std::to_string(body.size()));
        FileHandle held = client.TakeFile();
        Require((held != kNoFile) == client.holdFileWhenDone, "a file asked to be held is held");
        if (held != kNoFile) files.Close(held);
      } else if (script.announced > 0) {
        Require(net.delivered == script.announced, "a buffer takes no more body than announced",
                std::to_string(net.delivered) + " of " + std::to_string(script.announced));
        Require(std::memcmp(buffer.get(), body.data(), body.size()) == 0 && buffer[body.size()] == 0,
                "the buffer holds the body and a terminating 0");
      } else {
        Require(std::all_of(buffer.get(), buffer.get() + capacity, [](unsigned char b) { return b == 0xAA; }),
                "a body of unannounced length is not written to the buffer");
      }
    } else {
      Require(net.open.empty(), "a failed request closes every handle");
      Require(client.Request() == 0 && client.Connection() == 0 && client.InternetSession() == 0,
              "a failed request forgets its handles");
      if (client.sink == TransferSink::File) {
        bool created = files.Creates() > createsBefore;
        Require(created ? files.files.count(path) == 0
                        : files.files.count(path) == (fileExistedBefore ? 1u : 0u) &&
                              (!fileExistedBefore || files.files[path] == fileBefore),
                "a failed download leaves no file of its own and keeps one it did not make");
      }
    }
    Require(files.openCount == 0, "no file is left open");
  }
  client.CloseHandles();
  Require(net.open.empty(), "CloseHandles closes every handle");
  Require(net.certificatesFreed == (certificate ? 1 : 0) && net.storesClosed == (certificate ? 1 : 0),
          "certificate and store are released once");
  return 0;
}
