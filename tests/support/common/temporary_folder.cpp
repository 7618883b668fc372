#include "common/temporary_folder.h"

#include <windows.h>

#include "support/win32/wide_text.h"

namespace vorlane::tests {

std::u16string TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, folder);
  return AsUtf16(folder);
}

}  // namespace vorlane::tests
