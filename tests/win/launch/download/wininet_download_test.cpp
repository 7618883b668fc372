// The HTTP client over the real WinINet against the gateway simulator,
// streaming into a real file.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/test_files.h"
#include "download_test_support.h"
#include "gateway_simulator.h"
#include "launch/download/internet_http_client.h"
#include "launch/download/win32/wininet_port.h"

namespace vorlane {
namespace {

using tests::GatewaySimulator;
using tests::InstallerMode;

class WinInetDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway.Start());
    target = tests::TemporaryFolder() + u"wininet_download_test.bin";
    tests::DeleteFileAt(target);
    body.resize(100000);
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7 + i / 300);
    gateway.ServeInstaller(body);
  }

  bool Fetch(std::uint32_t* announced = nullptr) {
    InternetHttpClient client(internet, files);
    EXPECT_TRUE(client.urlParts.Crack(
        (u"https://127.0.0.1:" + Port() + u"/sslvpn/client/UpdateInstaller.exe").c_str()));
    client.scheme = client.urlParts.Scheme();
    client.host = client.urlParts.Host();
    client.port = client.urlParts.Port();
    client.object = client.urlParts.Path() + client.urlParts.ExtraInfo();
    client.method = u"GET";
    std::u16string header = u"Cookie: Varnex_SSLID=abc123";
    std::uint32_t size = 0;
    bool ok = client.SendRequest(target.data(), &size, header.c_str(), static_cast<std::uint32_t>(header.size()));
    client.CloseHandles();
    if (announced != nullptr) *announced = size;
    return ok;
  }

  std::u16string Port() {
    std::string digits = std::to_string(gateway.Port());
    return std::u16string(digits.begin(), digits.end());
  }

  GatewaySimulator gateway;
  WinInetPort internet;
  Win32FilePort files;
  std::u16string target;
  std::string body;
};

TEST_F(WinInetDownload, CompleteBodyLandsInTheFileAndTheRequestCarriesTheCookie) {
  std::uint32_t announced = 0;
  ASSERT_TRUE(Fetch(&announced));
  EXPECT_EQ(announced, body.size());
  EXPECT_EQ(tests::ReadFileBytes(target), body);
  auto requests = gateway.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "GET /sslvpn/client/UpdateInstaller.exe HTTP/1.1");
  EXPECT_EQ(requests[0].Header("Cookie"), "Varnex_SSLID=abc123");
  EXPECT_EQ(requests[0].HeaderCount("Cookie"), 1u);
  EXPECT_EQ(requests[0].Header("User-Agent"), "Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko");
}

TEST_F(WinInetDownload, BodyWithoutLengthOrSlowBodyIsStoredWhole) {
  gateway.SetInstallerMode(InstallerMode::NoContentLength);
  std::uint32_t announced = 1;
  ASSERT_TRUE(Fetch(&announced));
  EXPECT_EQ(announced, 0u);
  EXPECT_EQ(tests::ReadFileBytes(target), body);

  tests::DeleteFileAt(target);
  gateway.SetInstallerMode(InstallerMode::Slow);
  gateway.SetSlowPause(2);
  ASSERT_TRUE(Fetch());
  EXPECT_EQ(tests::ReadFileBytes(target), body);
}

TEST_F(WinInetDownload, ErrorRedirectAndCutOffRepliesLeaveNoFile) {
  for (InstallerMode mode : {InstallerMode::ErrorStatus, InstallerMode::Redirect, InstallerMode::CutOff}) {
    gateway.SetInstallerMode(mode);
    EXPECT_FALSE(Fetch()) << static_cast<int>(mode);
    EXPECT_FALSE(tests::FileExists(target)) << static_cast<int>(mode);
  }
  // The redirect was not followed.
  for (const auto& request : gateway.Requests()) {
    EXPECT_EQ(request.Target(), "/sslvpn/client/UpdateInstaller.exe");
  }
}

TEST_F(WinInetDownload, GatewayRequiringAClientCertificateFailsWithoutOne) {
  gateway.SetClientCertificateMode(tests::ClientCertificateMode::Require);
  EXPECT_FALSE(Fetch());
  EXPECT_FALSE(tests::FileExists(target));
  EXPECT_TRUE(gateway.Requests().empty());
  EXPECT_GE(gateway.FailedHandshakes(), 1);
}

TEST_F(WinInetDownload, FileHeldByAnotherProgramIsLeftAlone) {
  ASSERT_TRUE(tests::WriteFileBytes(target, "theirs"));
  HANDLE held = CreateFileW(reinterpret_cast<const wchar_t*>(target.c_str()), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Fetch());
  CloseHandle(held);
  EXPECT_EQ(tests::ReadFileBytes(target), "theirs");
}

TEST(WinInetPort, UnreachableGatewayFailsTheSend) {
  GatewaySimulator gateway;
  ASSERT_TRUE(gateway.Start());
  std::uint16_t port = gateway.Port();
  gateway.Stop();  // nothing listens there any more
  WinInetPort internet;
  Win32FilePort files;
  InternetHttpClient client(internet, files);
  client.method = u"GET";
  client.scheme = UrlScheme::kHttps;
  client.host = u"127.0.0.1";
  client.port = port;
  client.object = u"/";
  std::u16string target = tests::TemporaryFolder() + u"unreachable.bin";
  EXPECT_FALSE(client.SendRequest(target.data(), nullptr, nullptr, 0));
  EXPECT_FALSE(tests::FileExists(target));
  EXPECT_EQ(client.Connection(), 0u);
}

}  // namespace
}  // namespace vorlane

namespace vorlane {
namespace {

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

bool OpensFor(const std::u16string& path, DWORD access, DWORD share) {
  HANDLE file = CreateFileW(W(path), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The installer file on the real file system: while written and once sealed,
// others can read it but neither write, delete nor replace it; sealed, it can
// be started.
TEST(Win32FilePortSeal, TheFileCanBeReadAndStartedButNotChangedUntilLetGo) {
  Win32FilePort files;
  std::u16string path = tests::TemporaryFolder() + u"sealed_installer_test.exe";
  std::u16string other = tests::TemporaryFolder() + u"sealed_installer_other.exe";
  tests::DeleteFileAt(path);
  std::string program = tests::ReadFileBytes(tests::ProgramFolder() + u"fake_installer.exe");
  ASSERT_FALSE(program.empty());
  ASSERT_TRUE(tests::WriteFileBytes(other, "replacement"));

  FileHandle writing = files.Create(path.c_str());
  ASSERT_NE(writing, kNoFile);
  ASSERT_TRUE(files.Write(writing, program.data(), static_cast<std::uint32_t>(program.size())));
  EXPECT_FALSE(OpensFor(path, GENERIC_WRITE, kShareAll));
  EXPECT_TRUE(OpensFor(path, GENERIC_READ, kShareAll));

  FileHandle sealed = files.Seal(writing, path.c_str());
  ASSERT_NE(sealed, kNoFile);
  EXPECT_FALSE(OpensFor(path, GENERIC_WRITE, kShareAll));
  EXPECT_FALSE(OpensFor(path, DELETE, kShareAll));
  EXPECT_FALSE(DeleteFileW(W(path)));
  EXPECT_FALSE(MoveFileExW(W(other), W(path), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(tests::ReadFileBytes(path), program);

  std::u16string commandLine = u"\"" + path + u"\" sealed";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, const_cast<wchar_t*>(W(commandLine)), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process))
      << GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  files.Close(sealed);
  EXPECT_TRUE(OpensFor(path, GENERIC_WRITE, kShareAll));
  EXPECT_TRUE(tests::DeleteFileAt(path));
  tests::DeleteFileAt(path + u".ran");
  tests::DeleteFileAt(other);
}

}  // namespace
}  // namespace vorlane
