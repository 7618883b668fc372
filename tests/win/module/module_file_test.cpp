// What the built vorlane.ocx carries: its exports, resources and type library.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "control/control_tables.h"
#include "control/identifiers.h"
#include "loaded_module.h"
#include "support/win32/wide_text.h"
#include "test_text.h"

namespace vorlane::tests {
namespace {

constexpr WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class ModuleFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(ocx.Handle(), nullptr); }

  // The resource's bytes in the given language; empty when it is missing.
  std::string Resource(LPCWSTR type, int id, WORD language) {
    HRSRC found = FindResourceExW(ocx.Handle(), type, MAKEINTRESOURCEW(id), language);
    if (found == nullptr) return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(ocx.Handle(), found)));
    return std::string(bytes, SizeofResource(ocx.Handle(), found));
  }
  std::wstring String(int id) {
    wchar_t text[256] = L"";
    LoadStringW(ocx.Handle(), id, text, 256);
    return text;
  }
  LoadedOcx ocx;
};

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  T value{};
  if (offset + sizeof(T) <= bytes.size()) memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

TEST_F(ModuleFile, ExportsExactlyTheFourEntryPoints) {
  auto base = reinterpret_cast<const BYTE*>(ocx.Handle());
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::set<std::string> found;
  for (DWORD index = 0; index < exports->NumberOfNames; ++index) {
    found.insert(reinterpret_cast<const char*>(base + names[index]));
  }
  EXPECT_EQ(found, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                           "DllUnregisterServer"}));
  EXPECT_EQ(exports->NumberOfFunctions, 4u);
}

TEST_F(ModuleFile, StringTableHoldsTheTypeNamesAndCaption) {
  EXPECT_EQ(String(kControlTypeNameString), L"Vorlane  Control");
  EXPECT_EQ(String(kPropPageTypeNameString), L"Vorlane 属性页");
  EXPECT_EQ(String(kPropPageCaptionString), L"常规");
  EXPECT_FALSE(Resource(RT_STRING, 1, kChinese).empty());  // block of strings 0-15
}

TEST_F(ModuleFile, DialogsHaveTheirTemplatesAndSizes) {
  std::string about = Resource(RT_DIALOG, kAboutDialogId, kChinese);
  ASSERT_FALSE(about.empty());
  EXPECT_EQ(At<WORD>(about, 2), 0xFFFF);  // extended template
  EXPECT_EQ(At<WORD>(about, 16), 4);      // icon, two texts, button
  EXPECT_EQ(At<short>(about, 22), 170);
  EXPECT_EQ(At<short>(about, 24), 62);
  const std::wstring aboutText(reinterpret_cast<const wchar_t*>(about.data()), about.size() / 2);
  EXPECT_NE(aboutText.find(L"关于 Vorlane 控件"), std::wstring::npos);
  EXPECT_NE(aboutText.find(L"Vorlane 控件 8.0 版"), std::wstring::npos);
  EXPECT_NE(aboutText.find(L"确定"), std::wstring::npos);
  EXPECT_NE(aboutText.find(L"MS Shell Dlg"), std::wstring::npos);

  std::string page = Resource(RT_DIALOG, kPropPageDialogId, kChinese);
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(At<DWORD>(page, 0) & WS_CHILD, static_cast<DWORD>(WS_CHILD));
  EXPECT_EQ(At<DWORD>(page, 0) & WS_CAPTION, 0u);
  EXPECT_EQ(At<WORD>(page, 8), 1);
  EXPECT_EQ(At<short>(page, 14), 250);
  EXPECT_EQ(At<short>(page, 16), 62);
  const std::wstring pageText(reinterpret_cast<const wchar_t*>(page.data()), page.size() / 2);
  EXPECT_NE(pageText.find(L"TODO: 将用于操作 Vorlane 控件 的属性的控件放置在此对话框上。"), std::wstring::npos);
}

TEST_F(ModuleFile, ToolboxBitmapAndIconsAreSixteenColours) {
  std::string bitmap = Resource(RT_BITMAP, kToolboxBitmapId, kChinese);
  ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(At<LONG>(bitmap, 4), 16);
  EXPECT_EQ(At<LONG>(bitmap, 8), 15);
  EXPECT_EQ(At<WORD>(bitmap, 14), 4);

  std::string group = Resource(RT_GROUP_ICON, 1, kChinese);
  ASSERT_EQ(At<WORD>(group, 4), 2);
  std::set<int> sizes;
  for (int entry = 0; entry < 2; ++entry) {
    const std::size_t at = 6 + entry * 14;
    sizes.insert(At<BYTE>(group, at));
    EXPECT_EQ(At<BYTE>(group, at + 2), 16);  // colours
    EXPECT_EQ(At<WORD>(group, at + 6), 4);   // bits per pixel
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
  HICON icon = LoadIconW(ocx.Handle(), MAKEINTRESOURCEW(1));
  EXPECT_NE(icon, nullptr);
}

TEST_F(ModuleFile, VersionBlockNamesTheFileAndItsTranslation) {
  const std::wstring path = OcxPath();
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00080001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x001F0000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00080001u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 936);

  for (const wchar_t* name : {L"InternalName", L"OriginalFilename"}) {
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), (std::wstring(L"\\StringFileInfo\\080403A8\\") + name).c_str(),
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"vorlane.ocx");
  }
}

TEST_F(ModuleFile, ManifestAsksForAdministratorAndDpiAwareness) {
  std::string manifest = Resource(MAKEINTRESOURCEW(24), 2, kEnglish);
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}

TEST_F(ModuleFile, TypeLibraryDescribesTheScriptingSurface) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadTypeLib(OcxPath().c_str(), &library), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, reinterpret_cast<const GUID&>(kLibId)));
  EXPECT_EQ(attributes->wMajorVerNum, kTypeLibMajor);
  EXPECT_EQ(attributes->wMinorVerNum, kTypeLibMinor);
  EXPECT_EQ(attributes->lcid, kTypeLibLocale);
  EXPECT_TRUE(attributes->wLibFlags & LIBFLAG_FCONTROL);
  library->ReleaseTLibAttr(attributes);

  ITypeInfo* dispatch = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(reinterpret_cast<const GUID&>(kDispatchIid), &dispatch), S_OK);
  // What the library describes, by member id: the name and argument count.
  std::map<MEMBERID, std::pair<std::u16string, int>> methods;
  TYPEATTR* type = nullptr;
  ASSERT_EQ(dispatch->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->typekind, TKIND_DISPATCH);
  for (WORD index = 0; index < type->cFuncs; ++index) {
    FUNCDESC* function = nullptr;
    if (dispatch->GetFuncDesc(index, &function) != S_OK) continue;
    BSTR name = nullptr;
    UINT count = 0;
    dispatch->GetNames(function->memid, &name, 1, &count);
    EXPECT_TRUE(methods.emplace(function->memid, std::pair(AsUtf16(name ? name : L""), int(function->cParams))).second);
    if (function->memid == kDispIdResetUrl) {
      EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_BOOL);
    }
    if (function->memid == kDispIdRun) {
      EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_I4);
    }
    SysFreeString(name);
    dispatch->ReleaseFuncDesc(function);
  }
  dispatch->ReleaseTypeAttr(type);
  dispatch->Release();
  // Exactly the members Invoke serves, under the same ids and names.
  EXPECT_EQ(methods.size(), std::size(kControlDispatchTable));
  for (const DispatchEntry& entry : kControlDispatchTable) {
    auto found = methods.find(entry.dispid);
    ASSERT_NE(found, methods.end()) << Narrow(entry.name);
    EXPECT_EQ(found->second.first, entry.name);
    EXPECT_EQ(found->second.second, entry.argCount) << Narrow(entry.name);
  }

  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(reinterpret_cast<const GUID&>(kControlClsid), &coclass), S_OK);
  ASSERT_EQ(coclass->GetTypeAttr(&type), S_OK);
  EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FCONTROL);
  EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FCANCREATE);
  EXPECT_EQ(type->cImplTypes, 2);
  coclass->ReleaseTypeAttr(type);
  coclass->Release();
  library->Release();
}

}  // namespace
}  // namespace vorlane::tests
