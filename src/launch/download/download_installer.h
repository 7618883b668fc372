#pragma once
// The installer download: fetch UpdateInstaller.exe from the gateway over
// HTTPS with the session cookie, store it in the temporary folder and start
// it; on any failure tell the user and start nothing.
#include <string>

#include "launch/download/internet_port.h"
#include "launch/portal/launch_road_ports.h"
#include "launch/portal/portal_context.h"

namespace vorlane {

constexpr char16_t kInstallerFileFormat[] = u"%sUpdateInstaller.exe";
constexpr char16_t kInstallerPath[] = u"/sslvpn/client/UpdateInstaller.exe";

// What the download needs besides WinINet and files.
class DownloadEnvironment {
 public:
  virtual ~DownloadEnvironment() = default;
  // The temporary folder, ending in a backslash; empty when Windows has none.
  virtual std::u16string TemporaryFolder() = 0;
};

struct DownloadPorts {
  InternetPort& internet;
  FilePort& files;
  DownloadEnvironment& environment;
  ProgramLauncher& launcher;
  UserNotice& notice;
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

// Runs the whole download on the calling thread. True when the installer was
// downloaded in full and handed to the launcher (whose result is not looked
// at); false after the failure message was shown.
bool DownloadInstaller(const PortalContext& context, const DownloadPorts& ports);

}  // namespace vorlane
