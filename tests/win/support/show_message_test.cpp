// Message boxes as the user sees them: caption, text, dismissal.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/message_box_watcher.h"
#include "support/message_catalogue.h"

namespace vorlane {
namespace {

TEST(ShowMessage, ShowsTheEntryInASystemModalSslVpnBoxUntilDismissed) {
  tests::MessageBoxWatcher watcher;
  ShowMessage(LaunchFailureMessage(1));
  ShowMessage(CertLoginMessage(kMsgCheckUsbKey, 3));
  auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].text, MessageText(1));
  EXPECT_EQ(seen[0].text, u"登录信息初始化失败，请重新登录！");
  EXPECT_EQ(seen[1].text, u"Please check whether to insert the USB Key or the certificate is valid!");
  EXPECT_TRUE(seen[0].topmost);
}

TEST(ShowMessage, EntriesOutsideTheTableShowNothing) {
  tests::MessageBoxWatcher watcher;
  ShowMessage(24, 0);
  ShowMessage(0, 2);
  Sleep(100);
  EXPECT_TRUE(watcher.Seen().empty());
}

}  // namespace
}  // namespace vorlane
