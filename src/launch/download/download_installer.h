#pragma once
// The installer download: fetch UpdateInstaller.exe from the gateway over
// HTTPS with the session cookie, store it in a private folder of its own and
// start it; on any failure tell the user and start nothing. No wait for the
// gateway outlasts the policy's deadline or stall limit.
#include <cstdint>
#include <string>

#include "launch/download/download_policy.h"
#include "launch/download/installer_folders.h"
#include "launch/download/installer_signature.h"
#include "launch/download/internet_port.h"
#include "launch/download/transfer_bounds.h"
#include "launch/portal/launch_road_ports.h"
#include "launch/portal/portal_context.h"

namespace vorlane {

constexpr char16_t kInstallerFileFormat[] = u"%sUpdateInstaller.exe";
constexpr char16_t kInstallerPath[] = u"/sslvpn/client/UpdateInstaller.exe";
// No client installer comes near this; a body past it is not one.
constexpr std::uint64_t kInstallerSizeCap = 256ull * 1024 * 1024;

// Asked whether the download's owner has gone (the control was destroyed):
// the download then stops without a word.
class CancelToken {
 public:
  virtual ~CancelToken() = default;
  virtual bool Requested() = 0;
};

struct DownloadPorts {
  InternetPort& internet;
  FilePort& files;
  InstallerFolders& folders;
  ProgramLauncher& launcher;
  UserNotice& notice;
  TransferClock& clock;
  SignatureCheck& signatures;
  CancelToken& cancel;
};

enum class DownloadOutcome {
  kStarted,    // downloaded whole and handed to the launcher
  kFailed,     // the failure message was shown
  kCancelled,  // stopped quietly for the owner's going
};

// "https://<host>:<port>/sslvpn/client/UpdateInstaller.exe", port signed.
std::u16string InstallerUrl(const PortalContext& context);
// "Cookie: Varnex_SSLID=<session>"
std::u16string SessionCookieHeader(const PortalContext& context);
// "Options -server=%s -port=%u -session=%s -type=%u /S" in full.
std::u16string InstallerParameters(const PortalContext& context);
// The installer's path in folder, or empty when folder is empty or the path
// would not fit the 260-character path capacity.
std::u16string InstallerFilePath(const std::u16string& folder);

// Runs the whole download on the calling thread. The launcher's result is
// not looked at.
DownloadOutcome DownloadInstaller(const PortalContext& context, const DownloadPolicy& policy,
                                  const DownloadPorts& ports);

}  // namespace vorlane
