#include "launch/download/download_installer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>

#include "launch/download/internet_http_client.h"
#include "support/decimal_text.h"
#include "support/diagnostic_log.h"
#include "support/wide_format.h"

namespace vorlane {
namespace {

// The installer file, open for reading only while others may only read it.
class SealedFile {
 public:
  SealedFile(FilePort& files, FileHandle handle) : files_(files), handle_(handle) {}
  ~SealedFile() { Close(); }
  SealedFile(const SealedFile&) = delete;
  SealedFile& operator=(const SealedFile&) = delete;
  bool Held() const { return handle_ != kNoFile; }
  FileHandle Handle() const { return handle_; }
  void Close() {
    if (handle_ != kNoFile) files_.Close(handle_);
    handle_ = kNoFile;
  }

 private:
  FilePort& files_;
  FileHandle handle_;
};

// A folder from Create that is removed unless kept.
class FolderInUse {
 public:
  FolderInUse(InstallerFolders& folders, std::u16string path) : folders_(folders), path_(std::move(path)) {}
  ~FolderInUse() {
    if (path_.empty()) return;
    if (keep_) {
      folders_.Release(path_);
    } else {
      folders_.Remove(path_);
    }
  }
  FolderInUse(const FolderInUse&) = delete;
  FolderInUse& operator=(const FolderInUse&) = delete;
  const std::u16string& Path() const { return path_; }
  void Keep() { keep_ = true; }

 private:
  InstallerFolders& folders_;
  std::u16string path_;
  bool keep_ = false;
};

struct Fetched {
  FileHandle sealed = kNoFile;
  bool cancelled = false;
};

// The installer downloaded in full and kept sealed, within the policy's bounds.
Fetched Fetch(const PortalContext& context, const DownloadPolicy& policy, const std::u16string& installer,
              const DownloadPorts& ports) {
  InternetHttpClient client(ports.internet, ports.files);
  if (!client.urlParts.Crack(InstallerUrl(context).c_str())) return {};
  client.scheme = client.urlParts.Scheme();
  client.host = client.urlParts.Host();
  client.port = client.urlParts.Port();
  client.object = client.urlParts.Path() + client.urlParts.ExtraInfo();
  client.method = u"GET";
  client.holdFileWhenDone = true;
  client.verifyCertificate = policy.verifyGateway;
  client.wholeBodyOnly = true;
  client.maxBodyBytes = kInstallerSizeCap;
  using std::chrono::milliseconds;
  auto stall = std::chrono::duration_cast<milliseconds>(policy.stall);
  TransferBounds bounds(ports.clock, std::chrono::duration_cast<milliseconds>(policy.deadline), stall);
  client.bounds = &bounds;
  // WinINet's own time-outs as a second line; the bounds are what hold.
  client.networkTimeoutMs = static_cast<std::uint32_t>(std::max<long long>(stall.count(), 1));

  std::u16string header = SessionCookieHeader(context);
  std::uint32_t announced = 0;
  bool ok = client.SendRequest(const_cast<char16_t*>(installer.c_str()), &announced, header.c_str(),
                               static_cast<std::uint32_t>(header.size()));
  client.CloseHandles();
  return {ok ? client.TakeFile() : kNoFile, client.LastError() == kErrorCancelled};
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

DownloadOutcome DownloadInstaller(const PortalContext& context, const DownloadPolicy& policy,
                                  const DownloadPorts& ports) {
  ports.folders.RemoveEnded();
  bool cancelled = false;
  {
    FolderInUse folder(ports.folders, ports.folders.Create());
    std::u16string installer = InstallerFilePath(folder.Path());
    if (!installer.empty()) {
      Fetched fetched = Fetch(context, policy, installer, ports);
      // Held from its last byte until the shell has the launch, so the file
      // checked and started is the one downloaded.
      SealedFile sealed(ports.files, fetched.sealed);
      cancelled = fetched.cancelled || ports.cancel.Requested();
      bool trusted = sealed.Held() && !cancelled;
      if (trusted && !policy.installerPublisher.empty()) {
        std::optional<SignerNames> signer = ports.signatures.TrustedSigner(sealed.Handle(), installer);
        trusted = signer && PublisherMatches(*signer, policy.installerPublisher);
      }
      if (trusted) {
        ports.launcher.StartElevated(installer.c_str(), InstallerParameters(context).c_str());
        folder.Keep();  // the installer runs from it; a later download removes it once ended
        return DownloadOutcome::kStarted;
      }
      sealed.Close();  // before the folder and the file in it are removed
    }
  }
  if (cancelled) return DownloadOutcome::kCancelled;
  // Shown once nothing of the download is held: the box waits for the user.
  ports.notice.Show(LaunchFailureMessage(context.type));
  return DownloadOutcome::kFailed;
}

}  // namespace vorlane
