// Each machine policy value as an administrator's tools write it, read back
// by the product: absent values keep the product's own behaviour, numbers are
// kept within their ranges, and a value of the wrong type never opens what
// it was set to close.
#include <windows.h>

#include <gtest/gtest.h>

#include "policy/win32/registry_machine_policy.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

class MachinePolicyReader : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, AsWide(kMachinePolicyKey)); }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, AsWide(kMachinePolicyKey)); }

  static void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_LOCAL_MACHINE, AsWide(kMachinePolicyKey), name, type, data, static_cast<DWORD>(size)));
  }
  static void SetNumber(const wchar_t* name, DWORD value) { Set(name, REG_DWORD, &value, sizeof value); }
  static void SetText(const wchar_t* name, const std::u16string& text, DWORD type = REG_SZ) {
    Set(name, type, text.c_str(), (text.size() + 1) * sizeof(char16_t));
  }
};

TEST_F(MachinePolicyReader, WithoutTheKeyEverythingIsOff) {
  MachinePolicy policy = ReadMachinePolicy();
  EXPECT_FALSE(policy.allowedHosts);
  EXPECT_FALSE(policy.requireAllowList);
  EXPECT_FALSE(policy.verifyGateway);
  EXPECT_EQ(u"", policy.installerPublisher);
  EXPECT_EQ(600u, policy.downloadDeadlineSeconds);
  EXPECT_EQ(60u, policy.downloadStallSeconds);
}

TEST_F(MachinePolicyReader, ReadsEachValue) {
  SetText(L"AllowedHosts", std::u16string(u"gw1.example\0gw2.example:8443\0\0", 30), REG_MULTI_SZ);
  SetNumber(L"RequireAllowList", 1);
  SetNumber(L"VerifyGateway", 1);
  SetText(L"InstallerPublisher", u"CN=Corvanta Software, O=Corvanta");
  SetNumber(L"DownloadDeadlineSeconds", 120);
  SetNumber(L"DownloadStallSeconds", 30);
  MachinePolicy policy = ReadMachinePolicy();
  EXPECT_EQ(u"gw1.example\ngw2.example:8443", policy.allowedHosts.value_or(u"(none)"));
  EXPECT_TRUE(policy.requireAllowList);
  EXPECT_TRUE(policy.verifyGateway);
  EXPECT_EQ(u"CN=Corvanta Software, O=Corvanta", policy.installerPublisher);
  EXPECT_EQ(120u, policy.downloadDeadlineSeconds);
  EXPECT_EQ(30u, policy.downloadStallSeconds);

  SetNumber(L"RequireAllowList", 0);
  SetNumber(L"VerifyGateway", 0);
  SetText(L"AllowedHosts", u"gw.example");  // a list of one, as a hand-written REG_SZ
  policy = ReadMachinePolicy();
  EXPECT_FALSE(policy.requireAllowList);
  EXPECT_FALSE(policy.verifyGateway);
  EXPECT_EQ(u"gw.example", policy.allowedHosts.value_or(u"(none)"));
}

TEST_F(MachinePolicyReader, BoundsAreKeptWithinTheirRanges) {
  struct Row {
    DWORD deadline, stall;
    unsigned readDeadline, readStall;
  } rows[] = {{0, 0, 1, 1}, {1, 1, 1, 1}, {29, 4, 29, 4}, {3600, 600, 3600, 600}, {3601, 601, 3600, 600},
              {0xFFFFFFFF, 0xFFFFFFFF, 3600, 600}};
  for (const Row& row : rows) {
    SetNumber(L"DownloadDeadlineSeconds", row.deadline);
    SetNumber(L"DownloadStallSeconds", row.stall);
    MachinePolicy policy = ReadMachinePolicy();
    EXPECT_EQ(row.readDeadline, policy.downloadDeadlineSeconds) << row.deadline;
    EXPECT_EQ(row.readStall, policy.downloadStallSeconds) << row.stall;
  }
}

// A list of the wrong type allows nothing; a switch of the wrong type is on;
// a number of the wrong type keeps the default.
TEST_F(MachinePolicyReader, WrongTypesFailClosed) {
  SetNumber(L"AllowedHosts", 1);
  SetText(L"RequireAllowList", u"0");
  SetText(L"VerifyGateway", u"no");
  SetText(L"DownloadDeadlineSeconds", u"5");
  MachinePolicy policy = ReadMachinePolicy();
  EXPECT_EQ(u"", policy.allowedHosts.value_or(u"(none)"));
  EXPECT_TRUE(policy.requireAllowList);
  EXPECT_TRUE(policy.verifyGateway);
  EXPECT_EQ(600u, policy.downloadDeadlineSeconds);
}

}  // namespace
}  // namespace vorlane
