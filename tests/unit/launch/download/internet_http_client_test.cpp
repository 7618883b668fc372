#include "launch/download/internet_http_client.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_internet.h"

namespace vorlane {
namespace {

using tests::FakeFiles;
using tests::FakeInternet;

// Records every event the file sink receives, then lets the real sink act.
class RecordingClient : public InternetHttpClient {
 public:
  using InternetHttpClient::InternetHttpClient;
  int OnFileEvent(TransferEvent kind, const void* data, std::uint32_t length) override {
    events.push_back(kind);
    return InternetHttpClient::OnFileEvent(kind, data, length);
  }
  int Ends() const {
    return static_cast<int>(std::count(events.begin(), events.end(), TransferEvent::kDone) +
                            std::count(events.begin(), events.end(), TransferEvent::kFailed));
  }
  std::vector<TransferEvent> events;
};

class SendRequest_ : public ::testing::Test {
 protected:
  SendRequest_() {
    client.method = u"GET";
    client.scheme = UrlScheme::kHttps;
    client.host = u"gw.example";
    client.port = 8443;
    client.object = u"/sslvpn/client/UpdateInstaller.exe";
  }
  bool Send() {
    return client.SendRequest(path.data(), &size, header.c_str(), static_cast<std::uint32_t>(header.size()));
  }
  // A failed request leaves no file, closes every handle and ends once.
  void ExpectCleanFailure() {
    EXPECT_EQ(client.events.back(), TransferEvent::kFailed);
    EXPECT_EQ(client.Ends(), 1);
    EXPECT_EQ(files.files.count(path), 0u);
    EXPECT_EQ(files.openCount, 0);
    EXPECT_TRUE(net.open.empty());
    EXPECT_EQ(client.Request(), 0u);
    EXPECT_EQ(client.Connection(), 0u);
    EXPECT_EQ(client.InternetSession(), 0u);
  }

  FakeInternet net;
  FakeFiles files;
  RecordingClient client{net, files};
  std::u16string path = u"C:\\Temp\\UpdateInstaller.exe";
  std::u16string header = u"Cookie: Varnex_SSLID=abc";
  std::uint32_t size = 0;
};

TEST_F(SendRequest_, HttpsDownloadStreamsTheBodyIntoTheFile) {
  net.body = std::string(25000, 'x') + "end";
  ASSERT_TRUE(Send());
  EXPECT_EQ(files.files[path], net.body);
  EXPECT_EQ(size, 25003u);
  EXPECT_EQ(net.userAgent, kDefaultUserAgent);
  EXPECT_EQ(net.host, u"gw.example");
  EXPECT_EQ(net.port, 8443);
  EXPECT_EQ(net.method, u"GET");
  EXPECT_EQ(net.object, u"/sslvpn/client/UpdateInstaller.exe");
  EXPECT_EQ(net.requestFlags, 0x84A01000u);
  EXPECT_EQ(net.securityFlagsSet, 0x8u | 0x3180u);
  EXPECT_EQ(net.headers, header);
  EXPECT_EQ(net.headerLength, header.size());
  for (std::uint32_t capacity : net.readCapacities) EXPECT_EQ(capacity, 10240u);
  EXPECT_EQ(client.events, (std::vector<TransferEvent>{TransferEvent::kBegin, TransferEvent::kData, TransferEvent::kData, TransferEvent::kData,
                                             TransferEvent::kDone}));
  EXPECT_EQ(files.openCount, 0);
}

TEST_F(SendRequest_, PlainHttpHasNoSecureFlagsAndSkipsSecurityOptions) {
  client.scheme = UrlScheme::kHttp;
  client.keepConnection = true;
  ASSERT_TRUE(Send());
  EXPECT_EQ(net.requestFlags, 0x84200000u | 0x00400000u);
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "query-security"), 0);
}

TEST_F(SendRequest_, KeepConnectionAddsItsFlagToHttps) {
  client.keepConnection = true;
  ASSERT_TRUE(Send());
  EXPECT_EQ(net.requestFlags, 0x84A01000u | 0x00400000u);
}

TEST_F(SendRequest_, RefusesWithoutTargetMethodOrKnownScheme) {
  EXPECT_FALSE(client.SendRequest(nullptr, &size, nullptr, 0));
  client.method.clear();
  EXPECT_FALSE(Send());
  client.method = u"GET";
  client.scheme = UrlScheme::kFtp;
  EXPECT_FALSE(Send());
  EXPECT_TRUE(net.calls.empty());
  EXPECT_EQ(client.events, (std::vector<TransferEvent>{TransferEvent::kFailed, TransferEvent::kFailed, TransferEvent::kFailed}));
}

TEST_F(SendRequest_, EachSetupFailureFailsCleanly) {
  for (int step = 0; step < 5; ++step) {
    FakeInternet n;
    n.openFails = step == 0;
    n.connectFails = step == 1;
    n.openRequestFails = step == 2;
    n.querySecurityFails = step == 3;
    n.setSecurityFails = step == 4;
    FakeFiles f;
    RecordingClient c(n, f);
    c.method = u"GET";
    c.scheme = UrlScheme::kHttps;
    EXPECT_FALSE(c.SendRequest(path.data(), &size, nullptr, 0)) << step;
    EXPECT_EQ(c.events, std::vector<TransferEvent>{TransferEvent::kFailed}) << step;
    EXPECT_TRUE(n.open.empty()) << step;
    EXPECT_EQ(std::count(n.calls.begin(), n.calls.end(), "send"), 0) << step;
  }
}

// The cap holds for a body that announces no length too: it stops at the
// first chunk past it, and nothing of it stays on disk.
TEST_F(SendRequest_, BodyPastTheCapFailsWhileStreaming) {
  client.maxBodyBytes = 25000;
  net.hasContentLength = false;
  net.chunked = true;
  net.body = std::string(25001, 'x');
  EXPECT_FALSE(Send());
  ExpectCleanFailure();
  EXPECT_EQ(net.readCapacities.size(), 3u);
  net.body.pop_back();
  EXPECT_TRUE(Send());
  EXPECT_EQ(files.files[path].size(), 25000u);
}

// A timed-out or cancelled wait is what LastError tells; a refused reply is not.
TEST_F(SendRequest_, LastErrorTellsATimedOutOrCancelledWait) {
  tests::FakeClock clock;
  TransferBounds bounds(clock, std::chrono::seconds(10), std::chrono::seconds(5));
  client.bounds = &bounds;
  net.clock = &clock;
  net.readTakes = std::chrono::seconds(6);
  EXPECT_FALSE(Send());
  EXPECT_EQ(client.LastError(), kErrorTimedOut);
  ExpectCleanFailure();
  client.bounds = nullptr;  // those bounds are spent
  net.waitError = kErrorCancelled;
  EXPECT_FALSE(Send());
  EXPECT_EQ(client.LastError(), kErrorCancelled);
  net.waitError = 0;
  net.status = 500;
  EXPECT_FALSE(Send());
  EXPECT_EQ(client.LastError(), 0u);
}

TEST_F(SendRequest_, ClientCertificateAndTimeoutAreAppliedWhenSet) {
  client.clientCertificate = 77;
  client.certificateStore = 66;
  client.applyConnectTimeout = true;
  ASSERT_TRUE(Send());
  EXPECT_EQ(net.attachedCertificate, 77u);
  EXPECT_EQ(net.timeout, 10000u);
  client.CloseHandles();
  // Certificate, store, request, connection, internet handle.
  std::vector<std::string> tail(net.calls.end() - 5, net.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"free-certificate", "close-store", "close-3", "close-2", "close-1"}));
  client.CloseHandles();
  EXPECT_EQ(net.closed.size(), 3u);  // nothing released twice
}

TEST_F(SendRequest_, CertificateDialogChosenSendsOnceMore) {
  net.sendResults = {kErrorClientCertificateNeeded, 0};
  ASSERT_TRUE(Send());
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "send"), 2);
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "dialog"), 1);
}

TEST_F(SendRequest_, CertificateDialogCancelledFails) {
  net.sendResults = {kErrorClientCertificateNeeded};
  net.dialogAnswer = 1223;  // ERROR_CANCELLED
  EXPECT_FALSE(Send());
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "send"), 1);
  ExpectCleanFailure();
}

TEST_F(SendRequest_, SecondSendFailingOrOtherErrorsFail) {
  net.sendResults = {kErrorClientCertificateNeeded, kErrorClientCertificateNeeded};
  EXPECT_FALSE(Send());
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "dialog"), 1);
  ExpectCleanFailure();

  FakeInternet other;
  other.sendResults = {12029};  // cannot connect
  RecordingClient c(other, files);
  c.method = u"GET";
  c.scheme = UrlScheme::kHttps;
  EXPECT_FALSE(c.SendRequest(path.data(), &size, nullptr, 0));
  EXPECT_EQ(std::count(other.calls.begin(), other.calls.end(), "dialog"), 0);
}

TEST_F(SendRequest_, StatusOutside2xxFailsWithoutCreatingTheFile) {
  for (std::uint32_t status : {199u, 302u, 404u, 500u}) {
    FakeInternet n;
    n.status = status;
    FakeFiles f;
    RecordingClient c(n, f);
    c.method = u"GET";
    c.scheme = UrlScheme::kHttps;
    EXPECT_FALSE(c.SendRequest(path.data(), &size, nullptr, 0)) << status;
    EXPECT_EQ(c.events, std::vector<TransferEvent>{TransferEvent::kFailed}) << status;
    EXPECT_TRUE(f.files.empty()) << status;
  }
  net.status = 299;
  EXPECT_TRUE(Send());
}

TEST_F(SendRequest_, BeginRefusedByTheSinkFailsAndDeletesNothing) {
  files.locked.insert(path);  // another program holds the installer
  EXPECT_FALSE(Send());
  EXPECT_EQ(client.events, (std::vector<TransferEvent>{TransferEvent::kBegin, TransferEvent::kFailed}));
  EXPECT_TRUE(files.deleted.empty());
  EXPECT_TRUE(net.open.empty());
}

TEST_F(SendRequest_, ReadFailureMidwayDeletesThePartialFile) {
  net.body = std::string(30000, 'y');
  net.failReadAfter = 20480;
  EXPECT_FALSE(Send());
  EXPECT_EQ(files.deleted, std::vector<std::u16string>{path});
  ExpectCleanFailure();
}

TEST_F(SendRequest_, FailedWriteFailsTheDownload) {
  files.writesFail = true;
  EXPECT_FALSE(Send());
  ExpectCleanFailure();
}

TEST_F(SendRequest_, BodyShorterThanAnnouncedFails) {
  net.body = "short";
  net.announcedLength = 100;
  EXPECT_FALSE(Send());
  ExpectCleanFailure();
}

TEST_F(SendRequest_, NoContentLengthAnnouncesZeroAndKeepsTheBody) {
  net.hasContentLength = false;
  size = 1234;
  ASSERT_TRUE(Send());
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(files.files[path], net.body);
}

TEST_F(SendRequest_, OpenConnectionIsReusedByTheNextRequest) {
  ASSERT_TRUE(Send());
  ASSERT_TRUE(Send());
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "open"), 1);
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "connect"), 1);
  EXPECT_EQ(std::count(net.calls.begin(), net.calls.end(), "request"), 2);
  EXPECT_EQ(net.open.size(), 3u);  // the first request handle was not leaked
  client.CloseHandles();
  EXPECT_TRUE(net.open.empty());
}

// The buffer sink: the body and a terminating 0 byte into a caller's buffer.
class BufferSink_ : public ::testing::Test {
 protected:
  BufferSink_() {
    client.method = u"GET";
    client.scheme = UrlScheme::kHttp;
    client.sink = TransferSink::Buffer;
  }
  bool Fetch(std::uint32_t capacity) {
    storage.assign(capacity + 4, 0xEE);
    size = capacity;
    return client.SendRequest(storage.data(), &size, nullptr, 0);
  }
  std::vector<unsigned char> storage;
  std::uint32_t size = 0;
  FakeInternet net;
  FakeFiles files;
  InternetHttpClient client{net, files};
};

TEST_F(BufferSink_, CollectsTheBodyAndTerminatesIt) {
  net.body = std::string(15000, 'b') + "end";
  ASSERT_TRUE(Fetch(20000));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(storage.data())), net.body);
  EXPECT_EQ(size, 15003u);
  EXPECT_TRUE(files.files.empty());
}

TEST_F(BufferSink_, RoomForBodyAndTerminatorIsRequired) {
  net.body = "hello world";
  EXPECT_FALSE(Fetch(11));
  EXPECT_EQ(storage[0], 0xEE);
  ASSERT_TRUE(Fetch(12));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(storage.data())), "hello world");
}

TEST_F(BufferSink_, UnannouncedLengthDropsTheData) {
  net.hasContentLength = false;
  ASSERT_TRUE(Fetch(64));
  EXPECT_EQ(storage[0], 0xEE);
}

TEST_F(BufferSink_, BodyLongerThanAnnouncedIsRefusedNotWrittenPastTheBuffer) {
  net.body = "abcdef";
  net.announcedLength = 4;
  EXPECT_FALSE(Fetch(5));
  EXPECT_EQ(storage[5], 0xEE);
  // One byte more than announced would fill the buffer, terminator's place
  // included, and pass for a whole reply.
  net.body = "abcde";
  EXPECT_FALSE(Fetch(5));
  EXPECT_EQ(storage[5], 0xEE);
  EXPECT_FALSE(Fetch(64));
}

TEST_F(BufferSink_, ABodyThatFillsItsAnnouncedLengthExactlyIsTerminated) {
  net.body = "abcd";
  net.announcedLength = 4;
  ASSERT_TRUE(Fetch(5));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(storage.data())), "abcd");
}

}  // namespace
}  // namespace vorlane
