#include <windows.h>

#include "support/message_catalogue.h"
#include "support/win32/wide_text.h"

namespace vorlane {

void ShowMessage(int entry, int slot) {
  const char16_t* text = MessageText(entry);
  std::uint16_t language = MessageLanguage(slot);
  if (text == nullptr || language == 0) return;
  MessageBoxExW(nullptr, AsWide(text), L"SSL VPN",
                MB_SYSTEMMODAL | MB_OK, language);
}

}  // namespace vorlane
