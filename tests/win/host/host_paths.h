#pragma once
// Files the suite uses, next to its own program; and the COM set-up of a test.
#include <windows.h>
#include <ole2.h>

#include <string>

#include <gtest/gtest.h>

namespace vorlane::host::tests {

std::u16string BesideSuite(const std::u16string& file_name);
inline std::u16string ControlFile() { return BesideSuite(u"vorlane.ocx"); }
inline std::u16string HostProgram() { return BesideSuite(u"vorlane-host.exe"); }

// Each test runs on a thread with OLE initialised, as a browser's UI thread is.
class OleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

}  // namespace vorlane::host::tests
