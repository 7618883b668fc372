#include "support/message_catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

TEST(MessageCatalogue, PairsAreEnglishThenChineseWithFullWidthPunctuation) {
  EXPECT_EQ(std::u16string(MessageText(0)), u"Failed to initiate the login information, please login again!");
  EXPECT_EQ(std::u16string(MessageText(1)), u"登录信息初始化失败\uFF0C请重新登录\uFF01");
  EXPECT_EQ(std::u16string(MessageText(11)), u"请检查是否插入USB-Key或证书是否有效\uFF01");
  EXPECT_EQ(std::u16string(MessageText(20)), u"Connect SSLVPN server error, please contact administrator!");
  EXPECT_EQ(std::u16string(MessageText(23)), u"启动SSLVPN客户端失败\uFF0C请联系管理员\uFF01");
  for (int entry = 0; entry < kMessageCount; ++entry) {
    std::u16string text = MessageText(entry);
    bool ascii = true;
    for (char16_t c : text) ascii = ascii && c < 0x80;
    EXPECT_EQ(ascii, entry % 2 == 0) << "entry " << entry;
    EXPECT_EQ(text.back(), entry % 2 == 0 ? u'!' : u'\uFF01') << "entry " << entry;
  }
  EXPECT_EQ(MessageText(-1), nullptr);
  EXPECT_EQ(MessageText(24), nullptr);
}

TEST(MessageCatalogue, LanguagesAreUsEnglishAndPrcChineseOnly) {
  EXPECT_EQ(MessageLanguage(0), 0x0409);
  EXPECT_EQ(MessageLanguage(1), 0x0804);
  EXPECT_EQ(MessageLanguage(2), 0);
}

TEST(MessageCatalogue, LaunchRoadUsesTheTypeAsEntryAndSlot) {
  EXPECT_EQ(LaunchFailureMessage(0).entry, 0);
  EXPECT_EQ(LaunchFailureMessage(0).slot, 0);
  EXPECT_EQ(LaunchFailureMessage(1).entry, 1);
  EXPECT_EQ(LaunchFailureMessage(1).slot, 1);
}

TEST(MessageCatalogue, CertificateLoginSpeaksEnglishOnlyForTypes3And5) {
  struct Case { std::uint16_t type; int slot; };
  for (Case c : {Case{3, 0}, Case{5, 0}, Case{2, 1}, Case{4, 1}, Case{6, 1}, Case{65535, 1}}) {
    MessageChoice m = CertLoginMessage(kMsgConnectServerFailed, c.type);
    EXPECT_EQ(m.slot, c.slot) << "type " << c.type;
    EXPECT_EQ(m.entry, 8 + c.slot) << "type " << c.type;
  }
  EXPECT_EQ(CertLoginMessage(kMsgCheckUsbKey, 3).entry, 10);
  EXPECT_EQ(MessageLanguage(CertLoginMessage(kMsgCheckUsbKey, 3).slot), 0x0409);
}

}  // namespace
}  // namespace vorlane
