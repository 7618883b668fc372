#include "launch/portal/read_portal_context.h"

#include <gtest/gtest.h>

#include "fake_launch_ports.h"

namespace vorlane {
namespace {

using tests::FakePage;
using tests::PortalPage;

std::u16string Session(std::u16string_view cookie, bool* found = nullptr) {
  char16_t session[kSessionCapacity];
  std::fill(std::begin(session), std::end(session), u'#');
  bool ok = SessionFromCookie(cookie, session);
  if (found) *found = ok;
  return ok ? std::u16string(session) : u"<none>";
}

TEST(SessionFromCookie, TakesAtMost32CharactersAfterTheMarker) {
  EXPECT_EQ(Session(u"a=1; Varnex_SSLID=0123456789abcdef0123456789ABCDEF; b=2"),
            u"0123456789abcdef0123456789ABCDEF");
  EXPECT_EQ(Session(u"Varnex_SSLID=0123456789abcdef0123456789ABCDEFGHIJ"), u"0123456789abcdef0123456789ABCDEF");
}

TEST(SessionFromCookie, EndsAtASemicolonOrWhiteSpace) {
  // Page text after the value must never reach a command line.
  EXPECT_EQ(Session(u"Varnex_SSLID=abc; x=-type 9"), u"abc");
  EXPECT_EQ(Session(u"Varnex_SSLID=abc -server evil"), u"abc");
  EXPECT_EQ(Session(u"Varnex_SSLID=abc\t-x"), u"abc");
  EXPECT_EQ(Session(u"Varnex_SSLID=short"), u"short");
  EXPECT_EQ(Session(u"Varnex_SSLID="), u"");
  EXPECT_EQ(Session(u"Varnex_SSLID=;rest"), u"");
}

TEST(SessionFromCookie, EndsAtADoubleQuoteOrAControlCharacter) {
  // A quote would open a quoted argument swallowing "-type" and "/S".
  EXPECT_EQ(Session(u"Varnex_SSLID=abc\"def"), u"abc");
  EXPECT_EQ(Session(u"Varnex_SSLID=\"abc"), u"");
  for (char16_t control : {u'\x01', u'\x1B', u'\x1F', u'\x7F', u'\x85', u'\x9F'}) {
    std::u16string cookie = u"Varnex_SSLID=ab";
    cookie += control;
    cookie += u"cd";
    EXPECT_EQ(Session(cookie), u"ab") << int(control);
  }
  EXPECT_EQ(Session(std::u16string(u"Varnex_SSLID=ab\0cd", 17)), u"ab");
  // Other printable text, beyond ASCII included, stays part of the id.
  EXPECT_EQ(Session(u"Varnex_SSLID=a'b\u00A0\u4E2D-_=~"), u"a'b\u00A0\u4E2D-_=~");
}

TEST(SessionFromCookie, WithoutTheMarkerNothingIsCopied) {
  bool found = true;
  EXPECT_EQ(Session(u"other=1; varnex_sslid=lowercase", &found), u"<none>");
  EXPECT_FALSE(found);
  EXPECT_EQ(Session(u"", &found), u"<none>");
  EXPECT_FALSE(found);
  EXPECT_EQ(Session(u"Varnex_SSLID", &found), u"<none>");
  EXPECT_FALSE(found);
}

TEST(SessionFromCookie, FirstOccurrenceWinsEvenInsideALongerName) {
  EXPECT_EQ(Session(u"OldVarnex_SSLID=first; Varnex_SSLID=second"), u"first");
}

TEST(ReadPortalContext, AnObjectThatIsNotAWindowChangesNothing) {
  PortalContext context;
  context.host = u"before";
  context.port = 7;
  EXPECT_TRUE(ReadPortalContext(context, nullptr));
  EXPECT_EQ(context.host, u"before");
  EXPECT_EQ(context.port, 7);
}

TEST(ReadPortalContext, StoresHostPortAndSession) {
  FakePage page = PortalPage();
  page.port = u"8443";
  PortalContext context;
  ASSERT_TRUE(ReadPortalContext(context, &page));
  EXPECT_EQ(context.host, u"gw.example");
  EXPECT_EQ(context.port, 8443);
  EXPECT_EQ(std::u16string(context.session), u"0123456789abcdef0123456789ABCDEF");
}

TEST(ReadPortalContext, NoCookieStringKeepsTheEarlierSession) {
  FakePage page = PortalPage();
  page.cookie.reset();
  PortalContext context;
  context.session[0] = u'z';
  EXPECT_TRUE(ReadPortalContext(context, &page));
  EXPECT_EQ(std::u16string(context.session), u"z");
  EXPECT_EQ(context.port, 443);
}

TEST(ReadPortalContext, CookieWithoutMarkerFailsButKeepsHostAndPort) {
  FakePage page = PortalPage();
  page.cookie = u"";
  page.port = u"9443";
  PortalContext context;
  context.session[0] = u'z';
  EXPECT_FALSE(ReadPortalContext(context, &page));
  EXPECT_EQ(context.host, u"gw.example");
  EXPECT_EQ(context.port, 9443);
  EXPECT_EQ(std::u16string(context.session), u"z");
}

TEST(ReadPortalContext, AMissingOrForeignHostFailsAndChangesNothing) {
  for (std::optional<std::u16string> host : {std::optional<std::u16string>(), std::optional<std::u16string>(u"a@b"),
                                             std::optional<std::u16string>(u"gw example")}) {
    FakePage page = PortalPage();
    page.hostname = host;
    page.port = u"8443";
    PortalContext context;
    context.host = u"old";
    context.port = 7;
    context.session[0] = u'z';
    EXPECT_FALSE(ReadPortalContext(context, &page));
    EXPECT_EQ(context.host, u"old");
    EXPECT_EQ(context.port, 7);
    EXPECT_EQ(std::u16string(context.session), u"z");
  }
}

}  // namespace
}  // namespace vorlane
