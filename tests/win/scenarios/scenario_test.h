#pragma once
// The real vorlane.ocx embedded in the page host's container, driven through
// IDispatch the way page script drives it, with the counterparts it talks to
// (gateway and local client simulators, recording fake client programs) in
// this process or this Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/installer_folders.h"
#include "common/message_pump.h"
#include "common/temporary_folder.h"
#include "common/unscripted_page_calls.h"
#include "event_sink.h"
#include "gateway_simulator.h"
#include "local_client/local_client_simulator.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "test_text.h"

namespace vorlane::scenarios {

using namespace std::chrono_literals;

// The control's events arrive only while this thread pumps its messages.
using tests::PumpFor;
using tests::PumpUntil;
using tests::TemporaryFolder;
using tests::Narrow;
using tests::Wide;

// A file next to this suite's program.
std::u16string BesideSuite(const std::u16string& fileName);
std::u16string ProgramFilesX86();
bool FileExists(const std::u16string& path);
// The installers downloads have stored, each in its own folder under the
// temporary folder; and the removal of those folders.
std::vector<std::u16string> DownloadedInstallers();
using tests::RemoveInstallerFolders;
// The diagnostic log's text so far.
std::u16string LogText();

// A fake client program copied into Program Files (x86)\Corvanta\<folder>
// under `name`, removed again when this goes.
class InstalledProgram {
 public:
  InstalledProgram(const std::u16string& folder, const std::u16string& name);
  ~InstalledProgram();
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;
  bool installed() const { return installed_; }

 private:
  std::u16string path_;
  bool installed_ = false;
};

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Whether the suite holds the DLL loaded for the whole run, as a browser
  // that keeps its portal open; otherwise each control loads it and gives
  // it back when nothing of it is in use.
  virtual bool KeepsModuleLoaded() const { return true; }

  // The control from its file, initialised with "type" and the portal's
  // other <param> values, active in its window and advised of our sink.
  void Embed(int type = 0);
  void ReleaseControl();
  // Releases the control, then pumps until the DllCanUnloadNow of every
  // released control's file says S_OK and the file is given back, for at
  // most `limit`, asking every `pace`; false if that never came.
  bool ReleaseControlAndFreeModule(std::chrono::milliseconds limit, std::chrono::milliseconds pace = 20ms);

  host::CallResult Call(const std::u16string& name, std::vector<vorlane::Variant> args = {});
  // Run(window) on a page at `address` with `cookie`; the VT_BOOL result.
  bool Run(const std::u16string& address, const std::u16string& cookie);
  // Run(window) on `page`'s window, as page script calls it.
  host::CallResult RunOnPage(const host::FakePage& page);
  bool Close(short flag);

  // The texts of OnClientMessage in arrival order.
  std::vector<std::u16string> ClientMessages() const;
  // The command lines the fake programs recorded, once there are `count`
  // (pumping meanwhile) or after `limit`.
  std::vector<std::string> Recorded(std::size_t count = 0, std::chrono::milliseconds limit = 0ms);

  std::unique_ptr<host::HostedControl> control_;
  ComPtr<host::EventSink> sink_;
  DWORD sinkCookie_ = 0;
  std::vector<host::FakePage> pages_;  // alive as long as the control may hold them
  std::u16string record_;
  tests::UnscriptedPageCallsFail unscriptedPageCallsFail_;
};

// A portal page on the gateway simulator, which serves the recording fake
// installer, and a local client answering "Connected" unless a test scripts
// it; the control's background threads are waited for at the end.
class PortalScenarioTest : public ScenarioTest {
 protected:
  static constexpr char16_t kSession[] = u"0123456789abcdef0123456789abcdef";
  void SetUp() override;
  void TearDown() override;

  // https://127.0.0.1:<gateway port>/portals/index.html
  std::u16string PortalAddress() const;
  std::u16string GatewayPort() const;
  // Run(window) on the portal page whose cookie string carries the session.
  bool RunOnPortal();
  // Releases the control and waits (bounded) until the module answers that
  // nothing of it is in use: no poller or download thread is left.
  bool ReleaseAndWaitForThreads();
  // The "state" requests the local client has received.
  std::size_t StateRequests();

  tests::GatewaySimulator gateway_;
  tests::LocalClientSimulator client_;
  std::size_t logStart_ = 0;
};

// DllCanUnloadNow of the loaded control; S_OK when it is not loaded at all.
HRESULT ControlCanUnloadNow();

vorlane::Variant Bool(bool value);
vorlane::Variant Short(short value);

}  // namespace vorlane::scenarios
