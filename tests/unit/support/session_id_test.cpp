#include "support/session_id.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

TEST(SessionAfterMarker, ThirtyTwoBytesStoppingAtSeparators) {
  EXPECT_EQ(std::nullopt, SessionAfterMarker("lang=en; varnex_sslid=abc"));
  EXPECT_EQ("0123456789abcdef0123456789abcdef", SessionAfterMarker("Varnex_SSLID=0123456789abcdef0123456789abcdefXYZ"));
  EXPECT_EQ("abc", SessionAfterMarker("x=1; Varnex_SSLID=abc; lang=en"));
  EXPECT_EQ("abc", SessionAfterMarker("Varnex_SSLID=abc\"; path=/"));
  EXPECT_EQ("abc", SessionAfterMarker("Varnex_SSLID=abc\r\nLocation: /x"));
  EXPECT_EQ("abc", SessionAfterMarker("Varnex_SSLID=abc def"));
  EXPECT_EQ("short", SessionAfterMarker("Set-Cookie: Varnex_SSLID=short"));
  EXPECT_EQ("", SessionAfterMarker("Varnex_SSLID=;"));
  // The marker may end a longer name; the first one counts.
  EXPECT_EQ("first", SessionAfterMarker("OldVarnex_SSLID=first; Varnex_SSLID=second"));
}

// One set of end characters for both widths: the launch road reads UTF-16,
// the certificate login ANSI or UTF-8 bytes, and a page's cookie must give
// both the same id.
TEST(SessionAfterMarker, EveryControlCharacterEndsTheIdInBothWidths) {
  for (int c = 1; c < 0x20; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ("ab", SessionAfterMarker(std::string("Varnex_SSLID=ab") + char(c) + "cd"));
    EXPECT_EQ(u"ab", SessionAfterMarker(std::u16string(u"Varnex_SSLID=ab") + char16_t(c) + u"cd"));
  }
  EXPECT_EQ("ab", SessionAfterMarker(std::string("Varnex_SSLID=ab\0cd", 17)));
  EXPECT_EQ(u"ab", SessionAfterMarker(std::u16string(u"Varnex_SSLID=ab\0cd", 17)));
  EXPECT_EQ("ab", SessionAfterMarker("Varnex_SSLID=ab\x7F" "cd"));
  EXPECT_EQ(u"ab", SessionAfterMarker(u"Varnex_SSLID=ab\u007Fcd"));
  for (const char16_t* text : {u"Varnex_SSLID=ab;cd", u"Varnex_SSLID=ab\"cd", u"Varnex_SSLID=ab cd"}) {
    EXPECT_EQ(u"ab", SessionAfterMarker(text));
  }
}

// In UTF-16 the C1 controls end the id too; in narrow text a byte from 0x80
// up is a piece of a code-page or UTF-8 character and is kept.
TEST(SessionAfterMarker, C1ControlsEndOnlyTheWideIdOtherCharactersAreKept) {
  EXPECT_EQ(u"ab", SessionAfterMarker(u"Varnex_SSLID=ab\u0085cd"));
  EXPECT_EQ(u"ab", SessionAfterMarker(u"Varnex_SSLID=ab\u009Fcd"));
  EXPECT_EQ(u"ab\u00A0\u00E9\u4E2Dcd", SessionAfterMarker(u"Varnex_SSLID=ab\u00A0\u00E9\u4E2Dcd"));
  EXPECT_EQ("ab\x85\x9F\xE4\xB8\xAD" "cd", SessionAfterMarker("Varnex_SSLID=ab\x85\x9F\xE4\xB8\xAD" "cd"));
}

TEST(SessionAfterMarker, ThirtyTwoCharactersInBothWidths) {
  const std::u16string id32(32, u'x');
  EXPECT_EQ(id32, SessionAfterMarker(u"Varnex_SSLID=" + id32 + u"yz"));
  EXPECT_EQ(std::string(32, 'x'), SessionAfterMarker("Varnex_SSLID=" + std::string(34, 'x')));
  EXPECT_EQ(std::nullopt, SessionAfterMarker(u"VARNEX_SSLID=abc"));
}

}  // namespace
}  // namespace vorlane
