#include "scenario_test.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

#include "common/test_files.h"
#include "control/identifiers.h"
#include "local_client/local_client_simulator.h"
#include "property_bag.h"
#include "support/diagnostic_log.h"
#include "support/win32/wide_text.h"

namespace vorlane::scenarios {
namespace {

const CLSID kClsid = *reinterpret_cast<const CLSID*>(&kControlClsid);
const IID kEvents = *reinterpret_cast<const IID*>(&kEventsIid);

}  // namespace

std::u16string BesideSuite(const std::u16string& fileName) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder(reinterpret_cast<const char16_t*>(path));
  return folder.substr(0, folder.find_last_of(u"\\/") + 1) + fileName;
}

std::u16string ProgramFilesX86() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE);
  return reinterpret_cast<const char16_t*>(folder);
}

bool FileExists(const std::u16string& path) { return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::u16string> DownloadedInstallers() {
  std::vector<std::u16string> installers;
  for (const std::u16string& folder : tests::InstallerFolders())
    if (FileExists(folder + u"UpdateInstaller.exe")) installers.push_back(folder + u"UpdateInstaller.exe");
  return installers;
}

std::u16string LogText() { return tests::Utf16(tests::ReadFileBytes(kClientLogPath)); }

InstalledProgram::InstalledProgram(const std::u16string& folder, const std::u16string& name) {
  std::u16string target = ProgramFilesX86() + u"\\Corvanta\\" + folder;
  SHCreateDirectoryExW(nullptr, AsWide(target), nullptr);
  path_ = target + u"\\" + name;
  installed_ = CopyFileW(AsWide(tests::FakeProgramsFolder() + name), AsWide(path_), FALSE);
}

// A program started moments ago may still be running, and a running program's
// file cannot be deleted yet: keep trying for a while, so the next test does
// not find it installed.
InstalledProgram::~InstalledProgram() {
  for (int attempt = 0; attempt < 100 && !DeleteFileW(AsWide(path_)) && GetLastError() != ERROR_FILE_NOT_FOUND; ++attempt)
    Sleep(50);
}

vorlane::Variant Bool(bool value) {
  vorlane::Variant made;
  V_VT(made.Get()) = VT_BOOL;
  V_BOOL(made.Get()) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return made;
}

vorlane::Variant Short(short value) {
  vorlane::Variant made;
  V_VT(made.Get()) = VT_I2;
  V_I2(made.Get()) = value;
  return made;
}

void ScenarioTest::SetUp() {
  // Loaded once for the whole run, as in a browser process that keeps its
  // portal open.
  if (KeepsModuleLoaded()) {
    static HMODULE kept = LoadLibraryW(AsWide(BesideSuite(u"vorlane.ocx")));
    ASSERT_NE(nullptr, kept);
  }
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  record_ = TemporaryFolder() + std::u16string(name, name + std::strlen(name)) + u".commands.txt";
  DeleteFileW(AsWide(record_));
  SetEnvironmentVariableW(AsWide(tests::kCommandRecordVariable), AsWide(record_));
}

void ScenarioTest::TearDown() {
  ReleaseControl();
  pages_.clear();
  OleUninitialize();
}

void ScenarioTest::Embed(int type) {
  ASSERT_EQ(S_OK, host::HostedControl::Create({kClsid, BesideSuite(u"vorlane.ocx")}, &control_));
  sink_ = ComPtr<host::EventSink>::Adopt(new host::EventSink(kEvents, nullptr));
  ASSERT_EQ(S_OK, control_->Advise(sink_.Get(), kEvents, &sinkCookie_));
  auto params = ComPtr<host::PropertyBag>::Adopt(new host::PropertyBag);
  params->Set(u"ip", u"127.0.0.1");
  params->Set(u"port", u"443");
  params->Set(u"username", u"alice");
  std::string digits = std::to_string(type);
  params->Set(u"type", std::u16string(digits.begin(), digits.end()));
  ASSERT_EQ(S_OK, control_->Initialize(params.Get()));
  ASSERT_EQ(S_OK, control_->Activate());
  ASSERT_NE(nullptr, control_->control_window());
}

void ScenarioTest::ReleaseControl() { ReleaseControlAndFreeModule(0ms); }

bool ScenarioTest::ReleaseControlAndFreeModule(std::chrono::milliseconds limit, std::chrono::milliseconds pace) {
  if (control_ && !control_->released()) {
    control_->Unadvise(kEvents, sinkCookie_);
    control_->Release();
  }
  control_.reset();
  return PumpUntil([] { return host::HostedControl::FreeUnusedFiles(); }, limit, pace);
}

host::CallResult ScenarioTest::Call(const std::u16string& name, std::vector<vorlane::Variant> args) {
  return control_->Call(name, args);
}

bool ScenarioTest::Run(const std::u16string& address, const std::u16string& cookie) {
  auto page = host::FakePage::Make(address, cookie);
  EXPECT_TRUE(page);
  if (!page) return false;
  pages_.push_back(*page);
  host::CallResult result = RunOnPage(*page);
  EXPECT_EQ(S_OK, result.hr);
  EXPECT_EQ(VT_BOOL, V_VT(result.value.Get()));
  return V_BOOL(result.value.Get()) == VARIANT_TRUE;
}

host::CallResult ScenarioTest::RunOnPage(const host::FakePage& page) {
  std::vector<vorlane::Variant> args;
  args.emplace_back();
  V_VT(args.back().Get()) = VT_DISPATCH;
  V_DISPATCH(args.back().Get()) = page.window().Get();
  page.window()->AddRef();  // the Variant releases it
  return control_->Call(u"Run", args);
}

bool ScenarioTest::Close(short flag) {
  std::vector<vorlane::Variant> args;
  args.push_back(Short(flag));
  return control_->Call(u"Close", args).hr == S_OK;
}

std::vector<std::u16string> ScenarioTest::ClientMessages() const {
  std::vector<std::u16string> texts;
  if (!sink_) return texts;
  for (const auto& event : sink_->Received())
    if (event.name == u"OnClientMessage" && !event.args.empty()) texts.push_back(event.args[0]);
  return texts;
}

std::vector<std::string> ScenarioTest::Recorded(std::size_t count, std::chrono::milliseconds limit) {
  std::vector<std::string> lines;
  PumpUntil(
      [&] {
        lines.clear();
        std::string bytes = tests::ReadFileBytes(record_);
        for (std::size_t start = 0, nl; (nl = bytes.find('\n', start)) != std::string::npos; start = nl + 1)
          lines.push_back(bytes.substr(start, nl - start));
        return lines.size() >= count;
      },
      limit);
  return lines;
}

}  // namespace vorlane::scenarios

namespace vorlane::scenarios {

HRESULT ControlCanUnloadNow() {
  HMODULE module = GetModuleHandleW(L"vorlane.ocx");
  if (!module) return S_OK;
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  return canUnload ? canUnload() : E_FAIL;
}

void PortalScenarioTest::SetUp() {
  ScenarioTest::SetUp();
  ASSERT_TRUE(gateway_.Start());
  ASSERT_TRUE(gateway_.ServeInstallerFile(tests::FakeProgramsFolder() + u"UpdateInstaller.exe"));
  client_.SetDefault(tests::LocalClientSimulator::Reply("Connected"));
  ASSERT_TRUE(client_.Start());
  RemoveInstallerFolders();
  logStart_ = LogText().size();
}

void PortalScenarioTest::TearDown() {
  EXPECT_TRUE(ReleaseAndWaitForThreads());
  client_.Stop();
  gateway_.Stop();
  ScenarioTest::TearDown();
}

std::u16string PortalScenarioTest::GatewayPort() const {
  std::string digits = std::to_string(gateway_.Port());
  return std::u16string(digits.begin(), digits.end());
}

std::u16string PortalScenarioTest::PortalAddress() const {
  return u"https://127.0.0.1:" + GatewayPort() + u"/portals/index.html";
}

bool PortalScenarioTest::RunOnPortal() {
  return Run(PortalAddress(), u"lang=en; Varnex_SSLID=" + std::u16string(kSession) + u"; theme=dark");
}

bool PortalScenarioTest::ReleaseAndWaitForThreads() {
  ReleaseControl();
  return PumpUntil([] { return ControlCanUnloadNow() == S_OK; }, 30s);
}

std::size_t PortalScenarioTest::StateRequests() {
  std::size_t count = 0;
  for (const auto& message : client_.Received()) count += message.text == "state";
  return count;
}

}  // namespace vorlane::scenarios
