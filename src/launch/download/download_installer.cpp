#include "launch/download/download_installer.h"

#include <cstdint>

#include "launch/download/internet_http_client.h"
#include "support/decimal_text.h"
#include "support/diagnostic_log.h"
#include "support/wide_format.h"

namespace vorlane {
namespace {

bool Fetch(const PortalContext& context, const std::u16string& installer, const DownloadPorts& ports) {
  InternetHttpClient client(ports.internet, ports.files);
  if (!client.urlParts.Crack(InstallerUrl(context).c_str())) return false;
  client.scheme = client.urlParts.Scheme();
  client.host = client.urlParts.Host();
  client.port = client.urlParts.Port();
  client.object = client.urlParts.Path() + client.urlParts.ExtraInfo();
  client.method = u"GET";

  std::u16string header = SessionCookieHeader(context);
  std::uint32_t announced = 0;
  bool ok = client.SendRequest(const_cast<char16_t*>(installer.c_str()), &announced, header.c_str(),
                               static_cast<std::uint32_t>(header.size()));
  client.CloseHandles();
  return ok;
}

}  // namespace

std::u16string InstallerUrl(const PortalContext& context) {
  return u"https://" + context.host + u":" + SignedDecimal(context.port) + kInstallerPath;
}

std::u16string SessionCookieHeader(const PortalContext& context) {
  return std::u16string(u"Cookie: ") + kSessionCookieMarker + context.session;
}

std::u16string InstallerParameters(const PortalContext& context) {
  return u"Options -server=" + context.host + u" -port=" + UnsignedDecimal(static_cast<std::uint32_t>(context.port)) +
         u" -session=" + context.session + u" -type=" + UnsignedDecimal(context.type) + u" /S";
}

std::u16string InstallerFilePath(const std::u16string& folder) {
  if (folder.empty()) return {};
  char16_t path[kPathCapacity];
  if (FormatWide(path, kPathCapacity, kInstallerFileFormat, folder.c_str()) < 0) return {};
  return path;
}

bool DownloadInstaller(const PortalContext& context, const DownloadPorts& ports) {
  std::u16string installer = InstallerFilePath(ports.environment.TemporaryFolder());
  if (installer.empty() || !Fetch(context, installer, ports)) {
    ports.notice.Show(LaunchFailureMessage(context.type));
    return false;
  }
  ports.launcher.LaunchElevated(installer.c_str(), InstallerParameters(context).c_str());
  return true;
}

}  // namespace vorlane
