#include <windows.h>

#include "support/message_catalogue.h"

namespace vorlane {

void ShowMessage(int entry, int slot) {
  const char16_t* text = MessageText(entry);
  std::uint16_t language = MessageLanguage(slot);
  if (text == nullptr || language == 0) return;
  MessageBoxExW(nullptr, reinterpret_cast<const wchar_t*>(text), L"SSL VPN",
                MB_SYSTEMMODAL | MB_OK, language);
}

}  // namespace vorlane
