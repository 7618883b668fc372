// Each download's private folder on the real file system: its access list,
// two downloads while the first installer still runs, and the removal of
// folders whose installers have ended.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "common/message_box_watcher.h"
#include "common/test_files.h"
#include "download_test_support.h"
#include "gateway_simulator.h"
#include "launch/download/win32/installer_download_thread.h"
#include "launch/download/win32/private_installer_folders.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

std::u16string FolderOf(const std::u16string& installer) { return installer.substr(0, installer.rfind(u'\\') + 1); }

bool FolderExists(const std::u16string& folder) {
  DWORD attributes = GetFileAttributesW(AsWide(folder));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string FolderAccess(const std::u16string& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(AsWide(folder), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return u"(unreadable)";
  wchar_t* text = nullptr;
  std::u16string sddl;
  if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                           &text, nullptr)) {
    sddl = reinterpret_cast<const char16_t*>(text);
    LocalFree(text);
  }
  LocalFree(descriptor);
  return sddl;
}

class InstallerFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gateway.Start());
    ASSERT_TRUE(gateway.ServeInstallerFile(tests::ProgramFolder() + u"fake_installer.exe"));
    installerBytes = tests::ReadFileBytes(tests::ProgramFolder() + u"fake_installer.exe");
    tests::RemoveInstallerFolders();
    tests::TakeLaunches();
    context.host = u"127.0.0.1";
    context.port = gateway.Port();
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"VORLANE_FAKE_INSTALLER_HOLD_MS", nullptr);
    tests::WaitForStartedPrograms();
  }
  // One download run to its end; the installer it started, or empty.
  std::u16string DownloadWith(StartElevatedFunction launch) {
    EXPECT_TRUE(StartInstallerDownload(context, {}, launch));
    EXPECT_TRUE(tests::WaitForDownloadThreads());
    auto launches = tests::TakeLaunches();
    if (launches.size() != 1) return {};
    EXPECT_EQ(launches[0].bytesAtLaunch, installerBytes);
    return launches[0].path;
  }

  tests::GatewaySimulator gateway;
  PortalContext context;
  std::string installerBytes;
};

TEST_F(InstallerFolder, OnlyTheUserSystemAndAdministratorsMayUseIt) {
  std::u16string sddl = PrivateFolderSddl();
  ASSERT_EQ(sddl.rfind(u"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;S-1-", 0), 0u) << tests::Utf8(sddl);
  PrivateInstallerFolders folders;
  std::u16string folder = folders.Create();
  ASSERT_FALSE(folder.empty());
  // Windows keeps the list as given; Wine keeps what the Unix mode can say
  // (no Administrators entry, not protected). Either way it grants no one
  // else anything.
  std::u16string access = FolderAccess(folder);
  std::u16string user = sddl.substr(sddl.rfind(u";;;") + 3);
  user.pop_back();
  for (std::size_t at = access.find(u";;;"); at != std::u16string::npos; at = access.find(u";;;", at + 3)) {
    std::u16string trustee = access.substr(at + 3, access.find(u')', at) - at - 3);
    EXPECT_TRUE(trustee == u"SY" || trustee == u"BA" || trustee == user) << tests::Utf8(access);
  }
  EXPECT_NE(access.find(user), std::u16string::npos) << tests::Utf8(access);
  // Held while in use: a sweep of another download leaves it, its own removal does not.
  PrivateInstallerFolders other;
  other.RemoveEnded();
  EXPECT_TRUE(FolderExists(folder));
  folders.Remove(folder);
  EXPECT_FALSE(FolderExists(folder));
}

// The first installer is still running when the second download comes: the
// second gets a folder of its own and starts its own whole installer; the
// first one's folder stays while it runs and goes with the next download
// after it has ended.
TEST_F(InstallerFolder, TwoDownloadsWhileTheFirstInstallerRunsBothStartTheirOwn) {
  tests::MessageBoxWatcher watcher;
  SetEnvironmentVariableW(L"VORLANE_FAKE_INSTALLER_HOLD_MS", L"4000");
  std::u16string first = DownloadWith(tests::StartingLauncher);
  ASSERT_FALSE(first.empty());
  std::u16string second = DownloadWith(tests::StartingLauncher);
  ASSERT_FALSE(second.empty());
  EXPECT_NE(FolderOf(first), FolderOf(second));
  EXPECT_TRUE(tests::IsPrivateInstallerPath(first));
  EXPECT_TRUE(tests::IsPrivateInstallerPath(second));
  EXPECT_TRUE(FolderExists(FolderOf(first))) << "the running installer's folder was removed";
  EXPECT_TRUE(tests::FileExists(first));
  ASSERT_TRUE(tests::WaitForStartedPrograms());
  for (const std::u16string& installer : {first, second})
    EXPECT_NE(tests::Utf16(tests::ReadFileBytes(installer + u".ran")).find(u"-server=127.0.0.1"), std::u16string::npos);
  EXPECT_TRUE(watcher.Seen().empty());

  // Both installers have ended: the next download removes their folders.
  SetEnvironmentVariableW(L"VORLANE_FAKE_INSTALLER_HOLD_MS", nullptr);
  std::u16string third = DownloadWith(tests::RecordingLauncher);
  ASSERT_FALSE(third.empty());
  EXPECT_FALSE(FolderExists(FolderOf(first)));
  EXPECT_FALSE(FolderExists(FolderOf(second)));
  EXPECT_EQ(tests::InstallerFolders(), std::vector<std::u16string>{FolderOf(third)});
}

}  // namespace
}  // namespace vorlane
