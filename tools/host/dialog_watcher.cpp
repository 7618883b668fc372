#include "dialog_watcher.h"

#include <algorithm>
#include <vector>

#include "text.h"

namespace vorlane::host {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;  // the static text of a message box
constexpr DWORD kLookEveryMs = 20;
constexpr int kTextCapacity = 1024;

// A named function, not a lambda: the system calls it stdcall (CALLBACK),
// which on 32-bit x86 a lambda's function pointer is not.
BOOL CALLBACK AddIfDialogOfThisProcess(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t kind[16] = {};
  GetClassNameW(window, kind, 16);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpW(kind, L"#32770") == 0)
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleDialogsOfThisProcess() {
  std::vector<HWND> found;
  EnumWindows(AddIfDialogOfThisProcess, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

std::string DialogLine(const SeenDialog& dialog) {
  if (dialog.message_box) return "messagebox " + Quote(dialog.caption) + " " + Quote(dialog.text);
  return "dialog " + Quote(dialog.caption);
}

DialogWatcher::DialogWatcher(std::function<void(const SeenDialog&)> observer)
    : observer_(std::move(observer)), thread_([this] { Watch(); }) {}

DialogWatcher::~DialogWatcher() {
  stop_ = true;
  thread_.join();
}

void DialogWatcher::Watch() {
  while (!stop_) {
    Look();
    Sleep(kLookEveryMs);
  }
}

void DialogWatcher::Look() {
  std::vector<HWND> dialogs = VisibleDialogsOfThisProcess();
  // Forget windows that are gone, so a later dialog with a reused handle is seen.
  std::erase_if(answered_, [&](HWND window) {
    return std::find(dialogs.begin(), dialogs.end(), window) == dialogs.end();
  });
  for (HWND dialog : dialogs) {
    if (answered_.contains(dialog)) continue;
    wchar_t caption[kTextCapacity] = {};
    wchar_t text[kTextCapacity] = {};
    GetWindowTextW(dialog, caption, kTextCapacity);
    SeenDialog seen;
    seen.caption = FromWide(caption);
    seen.message_box = GetDlgItem(dialog, kMessageBoxTextId) != nullptr;
    if (seen.message_box) {
      GetDlgItemTextW(dialog, kMessageBoxTextId, text, kTextCapacity);
      seen.text = FromWide(text);
    }
    answered_.insert(dialog);
    observer_(seen);
    // OK is button 1 in a message box and in the About box alike.
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
}

}  // namespace vorlane::host
