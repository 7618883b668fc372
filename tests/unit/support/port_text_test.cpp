#include "support/port_text.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PortFromText, DefaultNumberBlanksSignAndGarbage) {
  EXPECT_EQ(443, PortFromText(std::nullopt));
  EXPECT_EQ(443, PortFromText(u""));
  EXPECT_EQ(8443, PortFromText(u"8443"));
  EXPECT_EQ(8443, PortFromText(u"  \t+8443x1"));
  EXPECT_EQ(-5, PortFromText(u" -5"));
  EXPECT_EQ(0, PortFromText(u"abc"));
  EXPECT_EQ(2147483647, PortFromText(u"99999999999"));
}

TEST(PortFromText, EmptyOrAbsentTextMeansTheHttpsPort) {
  EXPECT_EQ(PortFromText(std::nullopt), 443);
  EXPECT_EQ(PortFromText(u""), 443);
}

TEST(PortFromText, ReadsTheLeadingDecimalNumber) {
  EXPECT_EQ(PortFromText(u"8443"), 8443);
  EXPECT_EQ(PortFromText(u"  \t8443"), 8443);
  EXPECT_EQ(PortFromText(u"+10443"), 10443);
  EXPECT_EQ(PortFromText(u"-5"), -5);
  EXPECT_EQ(PortFromText(u"8443abc"), 8443);
  EXPECT_EQ(PortFromText(u"abc"), 0);
  EXPECT_EQ(PortFromText(u" "), 0);
  EXPECT_EQ(PortFromText(u"-"), 0);
}

TEST(PortFromText, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(PortFromText(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(PortFromText(u"-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace vorlane
