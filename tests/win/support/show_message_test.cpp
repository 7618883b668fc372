// Message boxes as the user sees them: caption, text, dismissal.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// What the box is asked for, seen on the way: this program's import of
// MessageBoxExW is pointed at a recorder that passes every call on.
struct MessageBoxCall {
  HWND owner;
  std::u16string text, caption;
  UINT style;
  WORD language;
};
std::vector<MessageBoxCall> boxCalls;
decltype(&MessageBoxExW) realMessageBox = nullptr;

int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style, WORD language) {
  boxCalls.push_back({owner, reinterpret_cast<const char16_t*>(text), reinterpret_cast<const char16_t*>(caption),
                      style, language});
  return realMessageBox(owner, text, caption, style, language);
}

// Replaces the import slot that holds `target` with `replacement`.
bool PatchImportSlot(void* target, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk); slot->u1.Function; ++slot) {
      if (reinterpret_cast<void*>(slot->u1.Function) != target) continue;
      DWORD previous = 0;
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &previous);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, previous, &previous);
      return true;
    }
  }
  return false;
}

TEST(ShowMessage, AsksForNoOwnerTheSslVpnCaptionStyle0x1000AndTheSlotsLanguage) {
  realMessageBox = reinterpret_cast<decltype(&MessageBoxExW)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBoxExW")));
  ASSERT_TRUE(PatchImportSlot(reinterpret_cast<void*>(realMessageBox), reinterpret_cast<void*>(&RecordingMessageBox)));
  boxCalls.clear();
  {
    tests::MessageBoxWatcher watcher;
    ShowMessage(LaunchFailureMessage(0));
    ShowMessage(LaunchFailureMessage(1));
    ShowMessage(CertLoginMessage(kMsgCheckUsbKey, 3));
    EXPECT_EQ(watcher.Seen().size(), 3u);
  }
  PatchImportSlot(reinterpret_cast<void*>(&RecordingMessageBox), reinterpret_cast<void*>(realMessageBox));
  ASSERT_EQ(boxCalls.size(), 3u);
  const WORD languages[] = {0x0409, 0x0804, 0x0409};
  const int entries[] = {0, 1, 10};
  for (std::size_t i = 0; i < boxCalls.size(); ++i) {
    EXPECT_EQ(boxCalls[i].owner, nullptr);
    EXPECT_EQ(boxCalls[i].caption, u"SSL VPN");
    EXPECT_EQ(boxCalls[i].style, 0x1000u);
    EXPECT_EQ(boxCalls[i].language, languages[i]) << i;
    EXPECT_EQ(boxCalls[i].text, MessageText(entries[i])) << i;
  }
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
