#include "support/wide_format.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

std::u16string Format(std::size_t capacity, const char16_t* format, auto... args) {
  std::u16string buffer(capacity, u'#');
  int n = FormatWide(buffer.data(), capacity, format, args...);
  if (n < 0) return u"<does not fit>";
  EXPECT_EQ(buffer[n], u'\0');
  return buffer.substr(0, n);
}

TEST(WideFormat, IntegersWithWidthZeroPaddingSignAndLength) {
  EXPECT_EQ(Format(64, u"%04d-%02d %03d", 2014, 7, 5), u"2014-07 005");
  EXPECT_EQ(Format(64, u"%d %d %i", 0, -42, 2147483647), u"0 -42 2147483647");
  EXPECT_EQ(Format(64, u"%u %u", 65535u, 4294967295u), u"65535 4294967295");
  EXPECT_EQ(Format(64, u"%x %X %08x", 255u, 255u, 0xBEEFu), u"ff FF 0000beef");
  EXPECT_EQ(Format(64, u"%lld %llu", -9000000000LL, 18000000000ULL), u"-9000000000 18000000000");
  EXPECT_EQ(Format(64, u"%5d|%-5d|%+d|%05d", 42, 42, 42, -42), u"   42|42   |+42|-0042");
  EXPECT_EQ(Format(64, u"%hu", 65536u + 7u), u"7");
}

TEST(WideFormat, StringsAndCharacters) {
  EXPECT_EQ(Format(64, u"-server %s -port %u ", u"gw.example", 443u), u"-server gw.example -port 443 ");
  EXPECT_EQ(Format(64, u"[%6s][%-3s][%.2s]", u"ab", u"c", u"xyz"), u"[    ab][c  ][xy]");
  EXPECT_EQ(Format(64, u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
  EXPECT_EQ(Format(64, u"%c%c", u'登', u'!'), u"登!");
  EXPECT_EQ(Format(64, u"100%%"), u"100%");
}

TEST(WideFormat, ResultMustFitWithItsTerminator) {
  EXPECT_EQ(Format(4, u"abc"), u"abc");
  EXPECT_EQ(Format(3, u"abc"), u"<does not fit>");
  EXPECT_EQ(Format(6, u"%s", u"abcdef"), u"<does not fit>");
  char16_t small[3] = {u'x', u'x', u'x'};
  EXPECT_EQ(FormatWide(small, 3, u"%d", 12345), -1);
  EXPECT_EQ(small[0], u'\0');  // a failed format leaves an empty text, never a partial one
  EXPECT_EQ(FormatWide(small, 0, u""), -1);
}

TEST(WideFormat, UnknownOrTruncatedDirectivesFailInsteadOfGuessing) {
  EXPECT_EQ(Format(64, u"%q", 1), u"<does not fit>");
  EXPECT_EQ(Format(64, u"trailing %"), u"<does not fit>");
}

}  // namespace
}  // namespace vorlane
