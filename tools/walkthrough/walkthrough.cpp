// A short walk through what the control's support layer does on Windows:
// opens the diagnostic log, writes the lines the system writes, shows a
// message box in each language (dismissed by a watcher, as a user would) and
// prints the log back.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/message_box_watcher.h"
#include "common/test_files.h"
#include "support/message_catalogue.h"
#include "support/win32/win32_log_file.h"

using namespace vorlane;

static void Print(const std::u16string& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.c_str()),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.c_str()),
                      static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

int main() {
  InstallWin32ProcessLog();
  OpenLog(kClientLogPath);
  LogInfo(u"create a new thread to download update.exe");
  LogError(u"connect error!");

  {
    testing::MessageBoxWatcher watcher;
    ShowMessage(LaunchFailureMessage(0));
    ShowMessage(LaunchFailureMessage(1));
    for (const auto& box : watcher.Seen()) Print(u"message box \"SSL VPN\": " + box.text + u"\n");
  }

  Print(u"content of C:\\ie_sslvpn_client.log:\n");
  std::u16string log = testing::Utf16(testing::ReadFileBytes(kClientLogPath));
  Print(log);
  return log.empty() ? 1 : 0;
}
