#include "launch/portal/run_launch_road.h"

#include "support/decimal_text.h"
#include "launch/portal/read_portal_context.h"
#include "support/diagnostic_log.h"
#include "support/wide_format.h"

namespace vorlane {
std::u16string UpdaterPath(const std::u16string& folder) {
  if (folder.empty()) return {};
  char16_t path[kPathCapacity];
  if (FormatWide(path, kPathCapacity, kUpdaterPathFormat, folder.c_str()) < 0) return {};
  return path;
}

std::u16string UpdaterArguments(const PortalContext& context) {
  return u"-server " + context.host + u" -port " + UnsignedDecimal(static_cast<std::uint32_t>(context.port)) +
         u" -session " + context.session + u" -type " + UnsignedDecimal(context.type.UpdaterArgument()) + u" ";
}

bool RunLaunchRoad(PortalContext& context, Page* page, const LaunchRoadPorts& ports) {
  if (!ReadPortalContext(context, page)) {
    ports.notice.Show(LaunchFailureMessage(context.type));
    return false;
  }

  std::u16string updater = UpdaterPath(ports.updater.ProgramFilesX86());
  if (!updater.empty() && ports.updater.FileExists(updater.c_str())) {
    ports.launcher.StartElevated(updater.c_str(), UpdaterArguments(context).c_str());
  } else {
    LogInfo(kDownloadStartedLine);
    ports.download.StartDownload(context);
  }

  ports.status.StartPolling();
  return true;
}

}  // namespace vorlane
