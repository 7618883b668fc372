#pragma once
// Fakes for the page and the ports Run's launch road uses, recording calls in
// one ordered list so tests can check what happened and in which order.
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_page.h"
#include "launch/portal/launch_road_ports.h"

namespace vorlane::tests {

// The portal page as Run reads it: gateway host, no port, a session cookie.
inline FakePage PortalPage() {
  FakePage page;
  page.hostname = u"gw.example";
  page.port = u"";
  page.cookie = u"Varnex_SSLID=0123456789abcdef0123456789ABCDEF";
  return page;
}

struct FakeLaunchWorld final : ProgramFilesPort,
                               ProgramLauncher,
                               DownloadStarter,
                               StatusPolling,
                               UserNotice {
  std::u16string folder = u"C:\\Program Files (x86)";
  bool updaterInstalled = false;

  std::vector<std::string> calls;
  std::vector<std::u16string> probed;
  std::u16string launchedPath, launchedParameters;
  std::vector<PortalContext> downloads;
  std::vector<MessageChoice> notices;

  std::u16string ProgramFilesX86() override { return folder; }
  bool FileExists(const char16_t* path) override {
    probed.emplace_back(path);
    return updaterInstalled;
  }
  int StartElevated(const char16_t* path, const char16_t* parameters) override {
    calls.push_back("launch");
    launchedPath = path;
    launchedParameters = parameters;
    return 0;
  }
  bool StartDownload(const PortalContext& context) override {
    calls.push_back("download");
    downloads.push_back(context);
    return true;
  }
  void StartPolling() override { calls.push_back("poller"); }
  void Show(MessageChoice message) override {
    calls.push_back("box");
    notices.push_back(message);
  }
  LaunchRoadPorts Ports() { return {*this, *this, *this, *this, *this}; }
};

}  // namespace vorlane::tests
