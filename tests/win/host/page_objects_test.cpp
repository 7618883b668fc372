// The fake page objects as the control sees them: through their interfaces.
#include <gtest/gtest.h>

#include "fake_page.h"
#include "support/win32/bstr.h"
#include "unscripted_calls.h"

namespace vorlane::host {
namespace {

std::u16string Ask(HRESULT (STDMETHODCALLTYPE IHTMLLocation::*member)(BSTR*), IHTMLLocation* location) {
  Bstr text;
  EXPECT_EQ(S_OK, (location->*member)(text.Put()));
  return text.Text();
}

TEST(FakePage, LocationSplitsTheAddressLikeABrowser) {
  struct Case {
    std::u16string href, hostname, port, host;
  } cases[] = {
      {u"https://gw.example/portals/index.html", u"gw.example", u"", u"gw.example"},
      {u"https://gw.example:8443/portals/", u"gw.example", u"8443", u"gw.example:8443"},
      {u"https://gw.example:443/", u"gw.example", u"", u"gw.example"},  // the scheme's own port is left out
      {u"http://10.1.2.3:8080/x", u"10.1.2.3", u"8080", u"10.1.2.3:8080"},
      {u"http://10.1.2.3:443/x", u"10.1.2.3", u"443", u"10.1.2.3:443"},
  };
  for (const auto& c : cases) {
    auto page = FakePage::Make(c.href, std::nullopt);
    ASSERT_TRUE(page);
    IHTMLLocation* location = page->location().Get();
    EXPECT_EQ(c.href, Ask(&IHTMLLocation::get_href, location));
    EXPECT_EQ(c.hostname, Ask(&IHTMLLocation::get_hostname, location));
    EXPECT_EQ(c.port, Ask(&IHTMLLocation::get_port, location));
    EXPECT_EQ(c.host, Ask(&IHTMLLocation::get_host, location));
  }
}

TEST(FakePage, RefusesAnAddressThatIsNotAbsolute) {
  EXPECT_FALSE(FakePage::Make(u"portals/index.html", std::nullopt));
  EXPECT_FALSE(FakePage::Make(u"", std::nullopt));
}

TEST(FakePage, WindowLeadsToItsLocationAndDocument) {
  auto page = FakePage::Make(u"https://gw.example/p", u"a=b");
  ASSERT_TRUE(page);
  // The control is handed the window as a plain IDispatch and asks for the window interface.
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, page->window()->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
  ComPtr<IHTMLWindow2> window;
  ASSERT_EQ(S_OK, dispatch->QueryInterface(IID_IHTMLWindow2, window.PutVoid()));

  ComPtr<IHTMLLocation> location;
  ComPtr<IHTMLDocument2> document;
  ASSERT_EQ(S_OK, window->get_location(location.Put()));
  ASSERT_EQ(S_OK, window->get_document(document.Put()));
  EXPECT_EQ(page->location().Get(), location.Get());
  EXPECT_EQ(page->document().Get(), document.Get());

  Bstr url;
  ASSERT_EQ(S_OK, document->get_URL(url.Put()));
  EXPECT_EQ(u"https://gw.example/p", url.Text());

  ComPtr<IHTMLLocation> not_a_location;
  EXPECT_EQ(E_NOINTERFACE, window->QueryInterface(IID_IHTMLLocation, not_a_location.PutVoid()));
  Bstr status;
  EXPECT_EQ(E_NOTIMPL, window->get_status(status.Put()));
  EXPECT_EQ(E_NOTIMPL, document->get_title(status.Put()));
}

TEST(FakePage, EveryUnscriptedMemberIsReportedByName) {
  std::vector<std::string> reported;
  SetUnscriptedCallHandler([&](const std::string& call) { reported.push_back(call); });
  auto page = FakePage::Make(u"https://gw.example:8443/p", std::nullopt);
  ASSERT_TRUE(page);
  Bstr text;
  EXPECT_EQ(E_NOTIMPL, page->location()->get_search(text.Put()));
  EXPECT_EQ(E_NOTIMPL, page->document()->get_title(text.Put()));
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"href");
  EXPECT_EQ(DISP_E_UNKNOWNNAME, page->location()->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  // What the control reads is scripted and reports nothing.
  ASSERT_EQ(S_OK, page->location()->get_protocol(text.Put()));
  EXPECT_EQ(u"https:", text.Text());
  SetUnscriptedCallHandler(nullptr);
  EXPECT_EQ((std::vector<std::string>{"IHTMLLocation::get_search", "IHTMLDocument2::get_title",
                                      "IHTMLLocation::GetIDsOfNames"}),
            reported);
}

TEST(FakePage, DocumentCookieIsTheGivenStringOrNone) {
  auto with = FakePage::Make(u"https://gw.example/", u"Varnex_SSLID=0123; x=y");
  auto without = FakePage::Make(u"https://gw.example/", std::nullopt);
  auto empty = FakePage::Make(u"https://gw.example/", u"");
  Bstr cookie;
  ASSERT_EQ(S_OK, with->document()->get_cookie(cookie.Put()));
  EXPECT_EQ(u"Varnex_SSLID=0123; x=y", cookie.Text());
  ASSERT_EQ(S_OK, without->document()->get_cookie(cookie.Put()));
  EXPECT_EQ(nullptr, cookie.Get());
  ASSERT_EQ(S_OK, empty->document()->get_cookie(cookie.Put()));
  ASSERT_NE(nullptr, cookie.Get());
  EXPECT_EQ(u"", cookie.Text());
}

TEST(FakePage, RecordsNavigationsInOrderAndTellsTheObserver) {
  std::vector<Navigation> observed;
  auto page = FakePage::Make(u"https://gw.example/portals/index.html", std::nullopt,
                             [&](const Navigation& navigation) { observed.push_back(navigation); });
  Bstr first(u"https://gw.example/portals");
  Bstr second(u" https://gw.example/verify?x=1");
  ASSERT_EQ(S_OK, page->location()->put_href(first.Get()));
  ASSERT_EQ(S_OK, page->location()->replace(second.Get()));
  ASSERT_EQ(S_OK, page->location()->put_href(nullptr));

  std::vector<Navigation> expected = {{u"href", u"https://gw.example/portals"},
                                      {u"replace", u" https://gw.example/verify?x=1"},
                                      {u"href", u""}};
  EXPECT_EQ(expected, page->Navigations());
  EXPECT_EQ(expected, observed);
  // A navigation is only asked for: the page's own address stays until a browser would load the new one.
  Bstr href;
  page->location()->get_href(href.Put());
  EXPECT_EQ(u"https://gw.example/portals/index.html", href.Text());
}

}  // namespace
}  // namespace vorlane::host
