// GetPCHardInfo through the real vorlane.ocx in the page host's container,
// with Wine's real WMI and WinINet: the cookie read back from the store, the
// page's navigations, the diagnostic log.
#include <windows.h>
#include <ole2.h>
#include <wininet.h>

#include <gmock/gmock.h>

#include <memory>
#include <optional>

#include "common/child_process.h"
#include "common/test_files.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "control/identifiers.h"
#include "property_bag.h"
#include "support/diagnostic_log.h"
#include "support/win32/wide_text.h"
#include "text.h"
#include "common/unscripted_page_calls.h"
#include "common/wmi_reference.h"

namespace vorlane {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using host::FakePage;
using host::Navigation;

const CLSID kClsid = *reinterpret_cast<const CLSID*>(&kControlClsid);

// What the store holds for `url` as a browser would send it there, with
// InternetGetCookieW; empty when nothing.
std::u16string StoredCookies(const std::u16string& url) {
  wchar_t data[4096] = {};
  DWORD size = sizeof data;
  if (!InternetGetCookieW(AsWide(url), nullptr, data, &size)) return u"";
  return reinterpret_cast<const char16_t*>(data);
}

std::u16string ExpectedCookie() {
  std::optional<std::u16string> mac = tests::FirstConnectedAdapterMac();
  EXPECT_TRUE(mac) << "WMI names no connected adapter here";
  return u"MAC_Addr=" + mac.value_or(u"?").substr(0, 32);
}

std::size_t LogSize() { return tests::ReadFileBytes(kClientLogPath).size(); }

class HardInfoThroughControl : public ::testing::Test {
 protected:
  void SetUp() override {
    // Loaded once for the run, as a browser keeps it while its portal is open.
    static HMODULE kept = LoadLibraryW(AsWide(tests::BesideProgram(u"vorlane.ocx")));
    ASSERT_NE(nullptr, kept);
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_EQ(S_OK, host::HostedControl::Create({kClsid, tests::BesideProgram(u"vorlane.ocx")}, &control_));
    auto params = ComPtr<host::PropertyBag>::Adopt(new host::PropertyBag);
    params->Set(u"type", u"0");
    ASSERT_EQ(S_OK, control_->Initialize(params.Get()));  // opens the log
    ASSERT_EQ(S_OK, control_->Activate());
  }
  void TearDown() override {
    if (control_) control_->Release();
    control_.reset();
    pages_.clear();
    OleUninitialize();
  }

  // GetPCHardInfo with the page object `pick` chooses, on a page at `address`.
  FakePage& CallOnPage(const std::u16string& address, IDispatch* (*pick)(const FakePage&)) {
    pages_.push_back(std::make_unique<FakePage>(FakePage::Make(address, std::nullopt).value()));
    FakePage& page = *pages_.back();
    std::vector<Variant> args(1);
    V_VT(args[0].Get()) = VT_DISPATCH;
    V_DISPATCH(args[0].Get()) = pick(page);
    V_DISPATCH(args[0].Get())->AddRef();  // the Variant releases it
    host::CallResult result = control_->Call(u"GetPCHardInfo", args);
    EXPECT_EQ(S_OK, result.hr);
    EXPECT_EQ(VT_EMPTY, V_VT(result.value.Get()));
    return page;
  }
  static IDispatch* Location(const FakePage& page) { return page.location().Get(); }
  static IDispatch* Window(const FakePage& page) { return page.window().Get(); }

  std::unique_ptr<host::HostedControl> control_;
  std::vector<std::unique_ptr<FakePage>> pages_;
  tests::UnscriptedPageCallsFail unscriptedPageCallsFail_;
};

TEST_F(HardInfoThroughControl, StoresWmisAddressForTheHostAndReplacesThePageWithVerify) {
  const std::size_t logBefore = LogSize();
  FakePage& page = CallOnPage(u"https://gw.example:8443/portals/index.html", Location);
  EXPECT_EQ(ExpectedCookie(), StoredCookies(u"https://gw.example:8443/"));
  EXPECT_THAT(page.Navigations(), ElementsAre(Navigation{u"replace", u"https://gw.example:8443/verify"}));
  EXPECT_EQ(logBefore, LogSize());
}

TEST_F(HardInfoThroughControl, HttpPageOnAnotherPortGetsHttpsWithItsHostAndPort) {
  FakePage& page = CallOnPage(u"http://plain.example:8080/portals/index.html", Location);
  EXPECT_EQ(ExpectedCookie(), StoredCookies(u"https://plain.example:8080/"));
  EXPECT_THAT(page.Navigations(), ElementsAre(Navigation{u"replace", u"https://plain.example:8080/verify"}));
}

TEST_F(HardInfoThroughControl, TheWindowInsteadOfTheLocationChangesNothing) {
  const std::size_t logBefore = LogSize();
  FakePage& page = CallOnPage(u"https://window.example/portals/index.html", Window);
  EXPECT_EQ(u"", StoredCookies(u"https://window.example/"));
  EXPECT_THAT(page.Navigations(), IsEmpty());
  EXPECT_EQ(logBefore, LogSize());
}

// The host program as an integrator runs it: its steps, its cookie lines.
TEST(HardInfoThroughHost, StepsShowTheCookieAndTheVerifyNavigation) {
  tests::ProgramRun run = tests::RunAndCapture(
      u"\"" + tests::BesideProgram(u"vorlane-host.exe") + u"\" --ocx \"" + tests::BesideProgram(u"vorlane.ocx") +
          u"\" --param type=0 --page https://host.example:4443/portals/index.html"
          u" call:GetPCHardInfo:location cookies:https://host.example:4443/ release",
      60000);
  EXPECT_EQ(0u, run.exitCode);
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const std::string cookie = host::Utf8(ExpectedCookie());
  CoUninitialize();
  EXPECT_THAT(run.lines, Contains("navigate replace \"https://host.example:4443/verify\""));
  EXPECT_THAT(run.lines, Contains("cookie \"https://host.example:4443/\" \"" + cookie + "\""));
  EXPECT_THAT(run.lines, Contains("result GetPCHardInfo VT_EMPTY"));
}

}  // namespace
}  // namespace vorlane
