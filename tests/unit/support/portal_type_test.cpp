#include "support/portal_type.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PortalType, ZeroAndOneTakeTheLaunchRoadEveryOtherTypeTheCertificateLogin) {
  for (std::uint16_t type : {0, 1}) EXPECT_FALSE(PortalType(type).TakesCertificateLogin()) << type;
  for (std::uint16_t type : {2, 5, 65535}) EXPECT_TRUE(PortalType(type).TakesCertificateLogin()) << type;
}

TEST(PortalType, LoginSendsThePageSessionUpToFourAndTheLangValueOfEveryRow) {
  struct Row {
    std::uint16_t type;
    bool fromPage;
    int lang;
  };
  for (Row row : {Row{2, true, 1}, Row{3, true, 1}, Row{4, true, 1}, Row{5, false, 0}, Row{6, false, 1},
                  Row{7, false, 0}, Row{65535, false, 0}}) {
    SCOPED_TRACE(row.type);
    EXPECT_EQ(row.fromPage, PortalType(row.type).LoginSendsPageSession());
    EXPECT_EQ(row.lang, PortalType(row.type).LoginLanguageValue());
  }
}

}  // namespace
}  // namespace vorlane
