#include "launch/download/download_installer.h"

#include <cstdint>
#include <mutex>

#include "launch/download/internet_http_client.h"
#include "support/decimal_text.h"
#include "support/diagnostic_log.h"
#include "support/wide_format.h"

namespace vorlane {
namespace {

// One download at a time in the process: each one creates, writes and
// starts its own whole installer before the next one creates the file anew.
std::mutex downloadTurn;

// The installer file, open for reading only while others may only read it.
class SealedFile {
 public:
  SealedFile(FilePort& files, FileHandle handle) : files_(files), handle_(handle) {}
  ~SealedFile() {
    if (handle_ != kNoFile) files_.Close(handle_);
  }
  SealedFile(const SealedFile&) = delete;
  SealedFile& operator=(const SealedFile&) = delete;
  bool Held() const { return handle_ != kNoFile; }

 private:
  FilePort& files_;
  FileHandle handle_;
};

// The installer downloaded in full and kept sealed, or kNoFile.
FileHandle Fetch(const PortalContext& context, const std::u16string& installer, const DownloadPorts& ports) {
  InternetHttpClient client(ports.internet, ports.files);
  if (!client.urlParts.Crack(InstallerUrl(context).c_str())) return kNoFile;
  client.scheme = client.urlParts.Scheme();
  client.host = client.urlParts.Host();
  client.port = client.urlParts.Port();
  client.object = client.urlParts.Path() + client.urlParts.ExtraInfo();
  client.method = u"GET";
  client.holdFileWhenDone = true;

  std::u16string header = SessionCookieHeader(context);
  std::uint32_t announced = 0;
  bool ok = client.SendRequest(const_cast<char16_t*>(installer.c_str()), &announced, header.c_str(),
                               static_cast<std::uint32_t>(header.size()));
  client.CloseHandles();
  return ok ? client.TakeFile() : kNoFile;
}

}  // namespace

std::u16string InstallerUrl(const PortalContext& context) {
  return u"https://" + context.host + u":" + SignedDecimal(context.port) + kInstallerPath;
}

std::u16string SessionCookieHeader(const PortalContext& context) {
  return std::u16string(u"Cookie: ") + kSessionMarker16 + context.session;
}

std::u16string InstallerParameters(const PortalContext& context) {
  return u"Options -server=" + context.host + u" -port=" + UnsignedDecimal(static_cast<std::uint32_t>(context.port)) +
         u" -session=" + context.session + u" -type=" + UnsignedDecimal(context.type.UpdaterArgument()) + u" /S";
}

std::u16string InstallerFilePath(const std::u16string& folder) {
  if (folder.empty()) return {};
  char16_t path[kPathCapacity];
  if (FormatWide(path, kPathCapacity, kInstallerFileFormat, folder.c_str()) < 0) return {};
  return path;
}

bool DownloadInstaller(const PortalContext& context, const DownloadPorts& ports) {
  std::u16string installer = InstallerFilePath(ports.environment.TemporaryFolder());
  {
    std::lock_guard turn(downloadTurn);
    // Held from its last byte until the shell has the launch, so the file
    // started is the one downloaded.
    SealedFile sealed(ports.files, installer.empty() ? kNoFile : Fetch(context, installer, ports));
    if (sealed.Held()) {
      ports.launcher.StartElevated(installer.c_str(), InstallerParameters(context).c_str());
      return true;
    }
  }
  // Shown after the turn is given up: the box waits for the user.
  ports.notice.Show(LaunchFailureMessage(context.type));
  return false;
}

}  // namespace vorlane
