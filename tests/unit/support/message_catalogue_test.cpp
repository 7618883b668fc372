#include "support/message_catalogue.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace vorlane {
namespace {

TEST(MessageCatalogue, PairsAreEnglishThenChineseWithFullWidthPunctuation) {
  const char16_t* const expected[] = {
      u"Failed to initiate the login information, please login again!",
      u"登录信息初始化失败\uFF0C请重新登录\uFF01",
      u"Initialize the SSL environmental failure!",
      u"初始化SSL环境失败\uFF01",
      u"Initialize the CAPI engine failure!",
      u"初始化CAPI引擎失败\uFF01",
      u"SSLVPN address error, please check it!",
      u"SSLVPN地址错误\uFF0C请检查\uFF01",
      u"Failed to connect to the server, please contact your administrator!",
      u"连接服务器失败\uFF0C请联系管理员\uFF01",
      u"Please check whether to insert the USB Key or the certificate is valid!",
      u"请检查是否插入USB-Key或证书是否有效\uFF01",
      u"Failed to get the local certification information, please check the connection or contact your "
      u"administrator!",
      u"获取本地认证信息失败\uFF0C请检查连接或联系管理员\uFF01",
      u"Authentication failed, please check the connection or contact your administrator!",
      u"认证失败\uFF0C请检查连接或联系管理员\uFF01",
      u"Certificate information error, please check the certificate and contact administrator!",
      u"证书信息错误\uFF0C请检查证书或联系管理员\uFF01",
      u"Abnormal connection SSLVPN server, please contact your administrator!",
      u"连接SSLVPN服务器异常\uFF0C请联系管理员\uFF01",
      u"Connect SSLVPN server error, please contact administrator!",
      u"连接SSLVPN服务器超时\uFF0C请联系管理员\uFF01",
      u"Start SSLVPN client error, please contact administrator!",
      u"启动SSLVPN客户端失败\uFF0C请联系管理员\uFF01",
  };
  static_assert(std::size(expected) == kMessageCount);
  for (int entry = 0; entry < kMessageCount; ++entry)
    EXPECT_EQ(std::u16string(MessageText(entry)), expected[entry]) << "entry " << entry;
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
