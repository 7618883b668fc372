// The probe over Wine's real WMI, in the apartments a browser's threads have.
#include <windows.h>
#include <objbase.h>

#include <gmock/gmock.h>

#include <thread>

#include "common/test_files.h"
#include "identity/mac_probe.h"
#include "identity/win32/com_wmi_port.h"
#include "support/win32/win32_log_file.h"
#include "common/wmi_reference.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

constexpr char16_t kProbeLog[] = u"C:\\identity_probe.log";

// Runs `body` on a thread of its own, with COM as `apartment` sets it up, or
// not initialised at all for -1.
template <typename Body>
void OnThread(int apartment, Body body) {
  std::thread([&] {
    if (apartment >= 0) {
      ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, apartment)));
    }
    body();
    if (apartment >= 0) CoUninitialize();
  }).join();
}

class ComWmiPort_ : public ::testing::Test {
 protected:
  void SetUp() override {
    tests::DeleteFileAt(kProbeLog);
    InstallWin32ProcessLog();
    OpenLog(kProbeLog);
  }
  void TearDown() override { CloseWin32ProcessLog(); }

  static std::vector<std::u16string> LoggedMessages() {
    std::vector<std::u16string> messages;
    const std::u16string text = tests::Utf16(tests::ReadFileBytes(kProbeLog));
    for (std::size_t start = 0, end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2)
      messages.push_back(text.substr(start + 32, end - start - 32));  // after "[INFOR][date time ms]"
    return messages;
  }
  static std::optional<std::u16string> Probe(ComStatus* connected = nullptr) {
    ComWmiPort wmi;
    MacProbe probe(wmi);
    ComStatus status = probe.Connect();
    if (connected) *connected = status;
    return probe.QueryMacAddress();
  }
};

TEST_F(ComWmiPort_, ReportsTheAddressWmiGivesForTheFirstConnectedAdapter) {
  for (int apartment : {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED}) {
    SCOPED_TRACE(apartment);
    OnThread(apartment, [] {
      const std::optional<std::u16string> expected = tests::FirstConnectedAdapterMac();
      ASSERT_TRUE(expected) << "WMI names no connected adapter here";
      ASSERT_FALSE(expected->empty());
      ComStatus connected = -1;
      EXPECT_EQ(expected->substr(0, kMacAddressLength), Probe(&connected));
      EXPECT_EQ(S_OK, connected);
    });
  }
  EXPECT_TRUE(LoggedMessages().empty());
}

TEST_F(ComWmiPort_, LeavesCOMToTheCallingThread) {
  // On a thread whose owner never initialised COM the locator cannot be made,
  // and after the probe the thread's COM is still as uninitialised as before.
  OnThread(-1, [] {
    ComWmiPort wmi;
    EXPECT_EQ(CO_E_NOTINITIALIZED, wmi.CreateLocator().status);
    EXPECT_EQ(std::nullopt, Probe());
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));  // S_FALSE had the probe done it
    CoUninitialize();
  });
  EXPECT_THAT(LoggedMessages(), ElementsAre(u"CreateInstance failed!", u"WbemSvr is null"));
}

}  // namespace
}  // namespace vorlane
