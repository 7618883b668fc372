#pragma once
// The launch road of the control's Run(window), types 0 and 1: read the
// portal context, start the installed updater or the installer download, then
// the status poller.
#include <string>

#include "launch/portal/launch_road_ports.h"
#include "launch/portal/portal_context.h"
#include "page/page.h"

namespace vorlane {

constexpr char16_t kUpdaterPathFormat[] = u"%s\\Corvanta\\Update\\Update.exe";
constexpr char16_t kDownloadStartedLine[] = u"create a new thread to download update.exe";

// The updater's path under folder, or empty when folder is empty or the path
// would not fit the 260-character path capacity.
std::u16string UpdaterPath(const std::u16string& folder);

// "-server %s -port %u -session %s -type %u " in full, whatever its length.
std::u16string UpdaterArguments(const PortalContext& context);

// page is null when the passed object is not a window. True when the page was
// read and the road taken.
bool RunLaunchRoad(PortalContext& context, Page* page, const LaunchRoadPorts& ports);

}  // namespace vorlane
