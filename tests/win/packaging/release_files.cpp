#include "release_files.h"

#include <algorithm>
#include <cstring>
#include <cstdio>

namespace vorlane::tests {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

std::string Utf8(const wchar_t* text, int length = -1) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  if (length == -1 && !out.empty()) out.pop_back();
  return out;
}

std::string DataText(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0' && type != REG_MULTI_SZ) text.pop_back();
    std::string out = Utf8(text.data(), static_cast<int>(text.size()));
    for (char& c : out) if (c == '\0') c = '|';
    return out;
  }
  std::string hex;
  char byte[4];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    hex += byte;
  }
  return hex;
}

void Walk(HKEY root, const std::wstring& path, REGSAM view, std::vector<std::string>& lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return;
  std::string keyName = Lower(Utf8(path.c_str()));
  lines.push_back(keyName);
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD nameLength = 512, type = 0, size = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + 2);
    nameLength = 512;
    RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
    lines.push_back(keyName + "|" + Lower(Utf8(name)) + "|" + std::to_string(type) + "|" +
                    DataText(type, data.data(), size));
  }
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD nameLength = 512;
    if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name, nameLength);
  }
  RegCloseKey(key);
  for (const std::wstring& child : children) Walk(root, path + L"\\" + child, view, lines);
}

}  // namespace

std::u16string ReleaseFile(const std::u16string& name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string bin(AsUtf16(path));
  bin = bin.substr(0, bin.find_last_of(u"\\/"));
  return bin.substr(0, bin.find_last_of(u"\\/") + 1) + u"release\\" + name;
}

std::u16string OwnReleaseFile(const std::u16string& name) {
  return ReleaseFile(VORLANE_RELEASE_ARCH u"\\" + name);
}

std::vector<std::string> RegistrationSnapshot(RegistryView view) {
  static const wchar_t* const kRoots[] = {
      L"Software\\Classes\\CLSID\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}",
      L"Software\\Classes\\CLSID\\{E0B529AF-D370-4795-A7FA-73BA302E9DF6}",
      L"Software\\Classes\\Vorlane.VorlaneCtrl.1",
      L"Software\\Classes\\Typelib\\{51857C45-A18A-4079-B8A0-547195313D90}",
      L"Software\\Classes\\Interface\\{2AE993D0-ED49-4B91-B8DC-6AEB27D55BFF}",
      L"Software\\Classes\\Interface\\{BEE2B8CD-966C-4465-894A-F446A80CE391}",
      L"SOFTWARE\\Policies\\Vorlane",
  };
  std::vector<std::string> lines;
  const REGSAM sam = view == RegistryView::k64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  for (const wchar_t* root : kRoots) Walk(HKEY_LOCAL_MACHINE, root, sam, lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

long RunToEnd(const std::u16string& commandLine) {
  std::u16string line = commandLine;
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, AsWide(line.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

PeFacts ReadPeFacts(const std::string& image) {
  PeFacts facts;
  if (image.size() < sizeof(IMAGE_DOS_HEADER)) return facts;
  IMAGE_DOS_HEADER dos;
  std::memcpy(&dos, image.data(), sizeof dos);
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || image.size() < dos.e_lfanew + sizeof(IMAGE_NT_HEADERS64)) return facts;
  IMAGE_NT_HEADERS64 nt;
  std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof nt);
  facts.machine = nt.FileHeader.Machine;
  // The optional header of a 32-bit image is shorter: its directories sit elsewhere.
  IMAGE_DATA_DIRECTORY security = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY];
  if (nt.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    IMAGE_NT_HEADERS32 nt32;
    std::memcpy(&nt32, image.data() + dos.e_lfanew, sizeof nt32);
    security = nt32.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY];
  }
  facts.signedImage = security.VirtualAddress != 0 && security.Size != 0 &&
                      security.VirtualAddress + security.Size <= image.size();
  std::size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  const char* stringTable = nullptr;
  if (nt.FileHeader.PointerToSymbolTable != 0) {
    std::size_t at = nt.FileHeader.PointerToSymbolTable + nt.FileHeader.NumberOfSymbols * 18;
    if (at < image.size()) stringTable = image.data() + at;
  }
  for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section;
    if (sections + (i + 1) * sizeof section > image.size()) break;
    std::memcpy(&section, image.data() + sections + i * sizeof section, sizeof section);
    std::string name(reinterpret_cast<const char*>(section.Name), strnlen(reinterpret_cast<const char*>(section.Name), 8));
    // Long names sit in the string table, named "/offset".
    if (name.size() > 1 && name[0] == '/' && stringTable) name = stringTable + std::atoi(name.c_str() + 1);
    facts.sections.push_back(name);
  }
  return facts;
}

}  // namespace vorlane::tests
