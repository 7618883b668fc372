// The machine's allow-list policy through the real control: a page on a
// listed host scripts it as before, a page on another host can neither mark
// it safe nor get anything done through any member.
#include <objsafe.h>
#include <wininet.h>

#include <gmock/gmock.h>

#include "common/test_files.h"
#include "scenario_test.h"

namespace vorlane::scenarios {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;

constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Vorlane";

class AllowList : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey);
  }
  void TearDown() override {
    ScenarioTest::TearDown();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey);
  }

  // REG_MULTI_SZ "AllowedHosts", one string per host.
  static void SetPolicy(std::initializer_list<const char16_t*> hosts) {
    std::u16string value;
    for (const char16_t* host : hosts) value += std::u16string(host) + u'\0';
    value += u'\0';
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"AllowedHosts", REG_MULTI_SZ,
                                             value.data(), static_cast<DWORD>(value.size() * sizeof(char16_t))));
  }

  // The control embedded on a page at `address`, as a browser places it.
  host::FakePage& EmbedOn(const std::u16string& address) {
    Embed();
    auto page = host::FakePage::Make(address, u"Varnex_SSLID=0123456789abcdef0123456789abcdef");
    EXPECT_TRUE(page);
    pages_.push_back(*page);
    control_->SetPageDocument(pages_.back().document().Get());
    return pages_.back();
  }

  HRESULT SetSafety(REFIID iid, DWORD options) {
    ComPtr<IObjectSafety> safety;
    HRESULT hr = control_->object()->QueryInterface(IID_IObjectSafety, safety.PutVoid());
    if (FAILED(hr)) return hr;
    return safety->SetInterfaceSafetyOptions(iid, options, options);
  }

  static vorlane::Variant Object(IDispatch* object) {
    vorlane::Variant made;
    V_VT(made.Get()) = VT_DISPATCH;
    V_DISPATCH(made.Get()) = object;
    object->AddRef();
    return made;
  }

  // RunCmd of the recording fake program; the call's HRESULT.
  HRESULT RunRecorder(const char16_t* word) {
    std::u16string command = u"\"" + tests::FakeProgramsFolder() + u"sleeper.exe\" sleep 0 " + word;
    std::vector<vorlane::Variant> args;
    args.push_back(vorlane::Variant::Text(command));
    args.push_back(Bool(true));
    return Call(u"RunCmd", std::move(args)).hr;
  }
};

TEST_F(AllowList, WithoutPolicyAnyPageScriptsTheControl) {
  EmbedOn(u"https://anywhere.example/portals/index.html");
  EXPECT_EQ(S_OK, SetSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER));
  EXPECT_EQ(S_OK, SetSafety(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA));
  EXPECT_EQ(S_OK, RunRecorder(u"free"));
  EXPECT_THAT(Recorded(), ElementsAre(EndsWith("sleep 0 free")));
}

TEST_F(AllowList, PageOnListedHostScriptsTheControl) {
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"other.example", u"gw.example"}));
  EmbedOn(u"https://GW.example:8443/portals/index.html");
  EXPECT_EQ(S_OK, SetSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER));
  EXPECT_EQ(S_OK, RunRecorder(u"listed"));
  EXPECT_THAT(Recorded(), ElementsAre(EndsWith("sleep 0 listed")));
  host::CallResult reset = Call(u"ResetUrl");
  EXPECT_EQ(S_OK, reset.hr);
  EXPECT_EQ(VT_BOOL, V_VT(reset.value.Get()));
}

TEST_F(AllowList, PageOnOtherHostIsRefusedEverythingAndNothingRuns) {
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"gw.example"}));
  host::FakePage& page = EmbedOn(u"https://gw.example.evil.example/portals/index.html");
  EXPECT_EQ(E_FAIL, SetSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER));
  EXPECT_EQ(E_FAIL, SetSafety(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA));

  EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"foreign"));
  std::vector<vorlane::Variant> run;
  run.push_back(Object(page.window().Get()));
  EXPECT_EQ(E_ACCESSDENIED, Call(u"Run", std::move(run)).hr);
  std::vector<vorlane::Variant> hard;
  hard.push_back(Object(page.location().Get()));
  EXPECT_EQ(E_ACCESSDENIED, Call(u"GetPCHardInfo", std::move(hard)).hr);
  std::vector<vorlane::Variant> close;
  close.push_back(Short(0));
  EXPECT_EQ(E_ACCESSDENIED, Call(u"Close", std::move(close)).hr);
  EXPECT_EQ(E_ACCESSDENIED, Call(u"ResetUrl").hr);
  EXPECT_EQ(E_ACCESSDENIED, Call(u"AboutBox").hr);  // would otherwise wait for its OK

  EXPECT_TRUE(Recorded(1, 1500ms).empty());
  EXPECT_TRUE(page.Navigations().empty());
  wchar_t cookie[512] = {};
  DWORD size = 512;
  EXPECT_FALSE(InternetGetCookieW(L"https://gw.example.evil.example/", nullptr, cookie, &size));
}

// A policy change applies to the next call of a control already on the page.
TEST_F(AllowList, PolicySetLaterRefusesTheNextCall) {
  EmbedOn(u"https://evil.example/");
  EXPECT_EQ(S_OK, RunRecorder(u"before"));
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"gw.example"}));
  EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"after"));
  EXPECT_THAT(Recorded(), ElementsAre(EndsWith("sleep 0 before")));
}

// A container that names no document cannot show that its page is listed.
TEST_F(AllowList, ControlWithoutDocumentIsRefusedWhilePolicyIsSet) {
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"gw.example"}));
  Embed();
  EXPECT_EQ(E_FAIL, SetSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER));
  EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"nodocument"));
  EXPECT_TRUE(Recorded(1, 500ms).empty());
}

}  // namespace
}  // namespace vorlane::scenarios
