// The machine's allow-list policy through the real control: a page on a
// listed host scripts it as before, a page on another host can neither mark
// it safe nor get anything done through any member.
#include <winsock2.h>
#include <objsafe.h>
#include <wininet.h>

#include <gmock/gmock.h>

#include "common/message_box_watcher.h"
#include "common/test_files.h"
#include "scenario_test.h"
#include "support/message_catalogue.h"

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
  static void SetPolicy(std::initializer_list<std::u16string> hosts) {
    std::u16string value;
    for (const std::u16string& host : hosts) value += host + u'\0';
    value += u'\0';
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"AllowedHosts", REG_MULTI_SZ,
                                             value.data(), static_cast<DWORD>(value.size() * sizeof(char16_t))));
  }

  // The control embedded on a page at `address`, as a browser places it;
  // the document's own address may differ from its location's.
  host::FakePage& EmbedOn(const std::u16string& address, int type = 0,
                          std::optional<std::u16string> documentUrl = std::nullopt) {
    Embed(type);
    auto page = host::FakePage::Make(address, u"Varnex_SSLID=0123456789abcdef0123456789abcdef");
    EXPECT_TRUE(page);
    pages_.push_back(*page);
    if (documentUrl) pages_.back().SetDocumentUrl(*documentUrl);
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
  EmbedOn(u"https://GW.example./portals/index.html");
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

// Each address once passed for gw.example (the host was taken after the
// first "://" whatever the scheme), or is the listed host over another
// scheme or port: none may mark the control safe or run anything.
TEST_F(AllowList, AddressesThatOnlyLookLikeTheListedOriginAreRefused) {
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"gw.example"}));
  for (const char16_t* address :
       {u"about:blank#://gw.example/", u"about:://gw.example", u"javascript:'x'//://gw.example/",
        u"x-unknown://gw.example", u"http://gw.example/", u"http://gw.example:8080/", u"file://gw.example/",
        u"https://gw.example:8443/", u"https://gw.example@evil.example/"}) {
    std::string shown(address, address + std::char_traits<char16_t>::length(address));
    host::FakePage& page = EmbedOn(u"https://gw.example/portals/index.html", 0, address);
    EXPECT_EQ(E_FAIL, SetSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER)) << shown;
    EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"bypass")) << shown;
    std::vector<vorlane::Variant> run;
    run.push_back(Object(page.window().Get()));
    EXPECT_EQ(E_ACCESSDENIED, Call(u"Run", std::move(run)).hr) << shown;
    EXPECT_TRUE(page.Navigations().empty()) << shown;
    ReleaseControl();
  }
  EXPECT_TRUE(Recorded(1, 1500ms).empty());
}

// A listed entry with a port admits that port; a misspelt entry admits
// nothing and leaves a line in the log saying why.
TEST_F(AllowList, EntriesNameOriginsAndUnreadableOnesAreLogged) {
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"gw.example:8443", u"https://other.example/"}));
  EmbedOn(u"https://gw.example:8443/portals/index.html");
  EXPECT_EQ(S_OK, RunRecorder(u"port"));
  ReleaseControl();
  EmbedOn(u"https://other.example/portals/index.html");
  EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"misspelt"));
  EXPECT_THAT(Recorded(), ElementsAre(EndsWith("sleep 0 port")));
  EXPECT_NE(std::u16string::npos, LogText().find(u"AllowedHosts: entry https://other.example/ is not a host name"));
}

TEST_F(AllowList, RequiredListThatIsMissingRefusesEveryPage) {
  DWORD on = 1;
  ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"RequireAllowList", REG_DWORD, &on,
                                           sizeof on));
  EmbedOn(u"https://gw.example/portals/index.html");
  EXPECT_EQ(E_FAIL, SetSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER));
  EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"required"));
  ReleaseControl();
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"gw.example"}));
  EmbedOn(u"https://gw.example/portals/index.html");
  EXPECT_EQ(S_OK, RunRecorder(u"listed"));
  EXPECT_THAT(Recorded(), ElementsAre(EndsWith("sleep 0 listed")));
}

// The portal's certificate login speaks by the process-wide type (3:
// English). A page in another tab that is not on the list loads a control
// with type 2 (Chinese) before and after the portal's control: the login's
// box stays English.
TEST_F(AllowList, RefusedPageDoesNotChangeThePortalsLoginType) {
  // A port where nothing listens: the login fails with its connection box.
  WSADATA winsock;
  ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &winsock));
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(0, bind(probe, reinterpret_cast<sockaddr*>(&any), sizeof any));
  int length = sizeof any;
  ASSERT_EQ(0, getsockname(probe, reinterpret_cast<sockaddr*>(&any), &length));
  closesocket(probe);
  WSACleanup();
  std::string port = std::to_string(ntohs(any.sin_port));
  std::u16string portal = u"https://127.0.0.1:" + std::u16string(port.begin(), port.end()) + u"/portals/index.html";
  ASSERT_NO_FATAL_FAILURE(SetPolicy({u"127.0.0.1:" + std::u16string(port.begin(), port.end())}));

  // Exchanged while its page is not known yet, then refused.
  EmbedOn(u"https://evil.example/", 2);
  EXPECT_EQ(E_ACCESSDENIED, RunRecorder(u"foreign"));
  std::unique_ptr<host::HostedControl> foreign = std::move(control_);
  host::FakePage& page = EmbedOn(portal, 3);
  // Exchanged while its page is known to be refused.
  auto bag = ComPtr<host::PropertyBag>::Adopt(new host::PropertyBag);
  bag->Set(u"type", u"2");
  EXPECT_EQ(S_OK, foreign->Initialize(bag.Get()));

  tests::MessageBoxWatcher watcher;
  std::vector<vorlane::Variant> run;
  run.push_back(Object(page.window().Get()));
  host::CallResult result = Call(u"Run", std::move(run));
  EXPECT_EQ(S_OK, result.hr);
  std::vector<tests::SeenBox> boxes = watcher.Seen();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(MessageText(CertLoginMessage(kMsgConnectServerFailed, 3).entry), boxes[0].text);
  foreign.reset();
}

}  // namespace
}  // namespace vorlane::scenarios
