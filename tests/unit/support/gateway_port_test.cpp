#include "support/gateway_port.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(GatewayPortFromText, DefaultNumberBlanksSignAndGarbage) {
  EXPECT_EQ(443, GatewayPortFromText(std::nullopt));
  EXPECT_EQ(443, GatewayPortFromText(u""));
  EXPECT_EQ(8443, GatewayPortFromText(u"8443"));
  EXPECT_EQ(8443, GatewayPortFromText(u"  \t+8443x1"));
  EXPECT_EQ(-5, GatewayPortFromText(u" -5"));
  EXPECT_EQ(0, GatewayPortFromText(u"abc"));
  EXPECT_EQ(2147483647, GatewayPortFromText(u"99999999999"));
}

}  // namespace
}  // namespace vorlane
