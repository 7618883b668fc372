#include "launch/download/win32/private_installer_folders.h"

#include <windows.h>
#include <sddl.h>

#include <atomic>
#include <memory>
#include <vector>

#include "launch/download/download_installer.h"
#include "support/diagnostic_log.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

// Names of folders this process has tried; a name left by an earlier
// process with the same id is passed over.
std::atomic<std::uint32_t> nextFolder{1};
constexpr int kNameAttempts = 64;

std::u16string UserTemporaryFolder() {
  wchar_t folder[kPathCapacity] = {};
  DWORD length = GetTempPathW(kPathCapacity, folder);
  if (length == 0 || length >= kPathCapacity) return {};
  return reinterpret_cast<const char16_t*>(folder);
}

// Every plain file directly in folder (ending in a backslash), the
// installer first; false when the installer is there and cannot go (its
// program still runs, or a download holds it).
bool EmptyFolder(const std::u16string& folder) {
  std::u16string installer = InstallerFilePath(folder);
  if (!DeleteFileW(AsWide(installer)) && GetFileAttributesW(AsWide(installer)) != INVALID_FILE_ATTRIBUTES)
    return false;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(AsWide(folder + u"*"), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    DeleteFileW(AsWide(folder + reinterpret_cast<const char16_t*>(found.cFileName)));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

}  // namespace

std::u16string PrivateFolderSddl() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  UniqueHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<unsigned char> user(size);
  if (!GetTokenInformation(token, TokenUser, user.data(), size, &size)) return {};
  wchar_t* sid = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) return {};
  std::u16string text = reinterpret_cast<const char16_t*>(sid);
  LocalFree(sid);
  // P: not inheriting the temporary folder's entries; OICI: files inside
  // get the same.
  return u"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + text + u")";
}

PrivateInstallerFolders::PrivateInstallerFolders(std::u16string temporaryFolder)
    : temporary_(temporaryFolder.empty() ? UserTemporaryFolder() : std::move(temporaryFolder)) {}

void PrivateInstallerFolders::RemoveEnded() {
  if (temporary_.empty()) return;
  std::u16string base = temporary_;
  if (base.back() != u'\\') base += u'\\';
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(AsWide(base + kInstallerFolderPrefix + u"*"), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::u16string> folders;
  do {
    // A link could lead the sweep out of the temporary folder: never followed.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      folders.push_back(base + reinterpret_cast<const char16_t*>(found.cFileName) + u"\\");
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (const std::u16string& folder : folders) {
    if (held_.count(folder) != 0) continue;
    if (EmptyFolder(folder)) RemoveDirectoryW(AsWide(folder));  // fails while another download holds it
  }
}

std::u16string PrivateInstallerFolders::Create() {
  std::u16string sddl = PrivateFolderSddl();
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (sddl.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(AsWide(sddl), SDDL_REVISION_1,
                                                                            &descriptor, nullptr))
    return {};
  std::unique_ptr<void, decltype(&LocalFree)> ownedDescriptor(descriptor, &LocalFree);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::u16string folder = InstallerFolderPath(temporary_, GetCurrentProcessId(), nextFolder.fetch_add(1));
    if (folder.empty()) return {};
    if (!CreateDirectoryW(AsWide(folder), &attributes)) {
      if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
      return {};
    }
    HANDLE held = CreateFileW(AsWide(folder), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
      RemoveDirectoryW(AsWide(folder));
      return {};
    }
    held_[folder].Reset(held);
    return folder;
  }
  return {};
}

void PrivateInstallerFolders::Release(const std::u16string& folder) { held_.erase(folder); }

void PrivateInstallerFolders::Remove(const std::u16string& folder) {
  held_.erase(folder);
  if (EmptyFolder(folder)) RemoveDirectoryW(AsWide(folder));
}

}  // namespace vorlane
