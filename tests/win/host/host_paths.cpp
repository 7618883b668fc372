#include "host_paths.h"

namespace vorlane::host::tests {

std::u16string BesideSuite(const std::u16string& file_name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder(reinterpret_cast<const char16_t*>(path));
  return folder.substr(0, folder.find_last_of(u"\\/") + 1) + file_name;
}

}  // namespace vorlane::host::tests
