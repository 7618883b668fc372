#pragma once
// The body of the control's Run(window): for types 0 and 1 read the portal
// context, start the installed updater or the installer download, then the
// status poller; for other types hand over to the certificate login.
#include <string>

#include "launch/portal/launch_road_ports.h"
#include "launch/portal/page_port.h"
#include "launch/portal/portal_context.h"

namespace vorlane {

constexpr char16_t kUpdaterPathFormat[] = u"%s\\Corvanta\\Update\\Update.exe";
constexpr char16_t kDownloadStartedLine[] = u"create a new thread to download update.exe";

// The updater's path under folder, or empty when folder is empty or the path
// would not fit the 260-character path capacity.
std::u16string UpdaterPath(const std::u16string& folder);

// "-server %s -port %u -session %s -type %u " in full, whatever its length.
std::u16string UpdaterArguments(const PortalContext& context);

// context.type picks the road. page is null when the passed object is not a
// window. True only when the launch road was taken and the page was read.
bool RunLaunchRoad(PortalContext& context, PagePort* page, const LaunchRoadPorts& ports);

}  // namespace vorlane
