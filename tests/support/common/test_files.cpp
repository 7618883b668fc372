#include "common/test_files.h"

#include <windows.h>

#include "support/win32/wide_text.h"

namespace vorlane::tests {

std::string ReadFileBytes(const std::u16string& path) {
  HANDLE file = CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool DeleteFileAt(const std::u16string& path) { return DeleteFileW(AsWide(path)) != 0; }

std::u16string Utf16(const std::string& bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return text;
}

std::u16string BesideProgram(const std::u16string& fileName) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = AsUtf16(path);
  return folder.substr(0, folder.find_last_of(u"\\/") + 1) + fileName;
}

}  // namespace vorlane::tests
