// vorlane.cab as a browser unpacks it for <object codebase>: the platform's
// cabinet code extracts the signed control and an INF that names its class
// and the version its version block carries.
#include <windows.h>
#include <setupapi.h>
#include <objbase.h>

#include <gmock/gmock.h>

#include <cstdio>

#include "common/test_files.h"
#include "control/identifiers.h"
#include "release_files.h"

namespace vorlane::tests {
namespace {

using ::testing::Contains;
using ::testing::UnorderedElementsAre;

struct Extraction {
  std::u16string folder;
  std::vector<std::u16string> names;
};

UINT CALLBACK OnCabinetFile(void* context, UINT notification, UINT_PTR param1, UINT_PTR) {
  auto* extraction = static_cast<Extraction*>(context);
  if (notification != SPFILENOTIFY_FILEINCABINET) return NO_ERROR;
  auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_W*>(param1);
  std::u16string name(AsUtf16(info->NameInCabinet));
  extraction->names.push_back(name);
  std::u16string target = extraction->folder + name;
  wcsncpy(info->FullTargetName, AsWide(target), MAX_PATH - 1);
  return FILEOP_DOIT;
}

std::u16string IniText(const std::u16string& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[256] = {};
  GetPrivateProfileStringW(section, key, L"", value, 256, AsWide(file));
  return AsUtf16(value);
}

std::u16string VersionWithCommas(const std::u16string& file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(AsWide(file), &ignored);
  std::vector<BYTE> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(AsWide(file), 0, size, block.data()) ||
      !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    return u"";
  }
  wchar_t text[64];
  swprintf(text, 64, L"%u,%u,%u,%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
           HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  return AsUtf16(text);
}

TEST(Cabinet, HoldsTheSignedControlAndAnInfThatNamesItsClassAndVersion) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  Extraction extraction{std::u16string(AsUtf16(temp)) + u"cab-out\\", {}};
  CreateDirectoryW(AsWide(extraction.folder), nullptr);
  ASSERT_TRUE(SetupIterateCabinetW(AsWide(OwnReleaseFile(u"vorlane.cab")), 0, OnCabinetFile, &extraction))
      << GetLastError();
  EXPECT_THAT(extraction.names, UnorderedElementsAre(u"vorlane.ocx", u"vorlane.inf"));

  const std::u16string dll = extraction.folder + u"vorlane.ocx";
  const std::string bytes = ReadFileBytes(dll);
  EXPECT_EQ(ReadFileBytes(OwnReleaseFile(u"vorlane.ocx")), bytes);
  PeFacts facts = ReadPeFacts(bytes);
  EXPECT_TRUE(facts.signedImage);
  EXPECT_EQ(VORLANE_RELEASE_MACHINE, facts.machine);  // the folder's own kind of DLL
  EXPECT_THAT(facts.sections, Contains(".gnu_debuglink"));  // stripped, its symbols apart
  EXPECT_THAT(facts.sections, ::testing::Not(Contains(".debug_info")));

  const std::u16string inf = extraction.folder + u"vorlane.inf";
  wchar_t clsid[40] = {};
  StringFromGUID2(*reinterpret_cast<const GUID*>(&kControlClsid), clsid, 40);
  EXPECT_EQ(u"vorlane.ocx", IniText(inf, L"Add.Code", L"vorlane.ocx"));
  EXPECT_EQ(std::u16string(AsUtf16(clsid)), IniText(inf, L"vorlane.ocx", L"clsid"));
  EXPECT_EQ(u"8,1,31,0", VersionWithCommas(dll));
  EXPECT_EQ(VersionWithCommas(dll), IniText(inf, L"vorlane.ocx", L"FileVersion"));
  EXPECT_EQ(u"yes", IniText(inf, L"vorlane.ocx", L"RegisterServer"));
  // The one platform this cabinet serves, and not the other.
  EXPECT_EQ(u"thiscab", IniText(inf, L"vorlane.ocx", VORLANE_INF_FILE_KEY));
  EXPECT_EQ(u"", IniText(inf, L"vorlane.ocx", VORLANE_OTHER_INF_FILE_KEY));
}

}  // namespace
}  // namespace vorlane::tests
