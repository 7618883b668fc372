#include "identity/mac_probe.h"

#include <gmock/gmock.h>

#include <algorithm>

#include "probe_test.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using tests::FakeAdapter;
using tests::kFailed;

class MacProbe_ : public tests::ProbeTest {
 protected:
  std::optional<std::u16string> Probe() {
    MacProbe probe(wmi_);
    probe.Connect();
    std::optional<std::u16string> mac = probe.QueryMacAddress();
    probe.ReleaseConnection();
    return mac;
  }
};

TEST_F(MacProbe_, AsksForTheConnectedAdaptersAddressAndReleasesInOrder) {
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  EXPECT_EQ(u"00:11:22:33:44:55", Probe());
  EXPECT_THAT(wmi_.journal,
              ElementsAre("CreateLocator", "ConnectServer ROOT\\CIMV2", "SetProxyBlanket 10 0 3 3 0",
                          "ExecQuery WQL \"SELECT * FROM Win32_NetworkAdapter where NetConnectionStatus=2\" 48",
                          "Next 10000ms", "Get MACAddress", "release adapter", "release enumerator",
                          "release services", "release locator"));
  EXPECT_EQ(0, wmi_.held);
  EXPECT_THAT(Logged(), IsEmpty());
}

TEST_F(MacProbe_, ConnectAnswersTheStatusOfTheLastStepThatRan) {
  struct Row {
    ComStatus locator, server, blanket, expected;
  } rows[] = {
      {kFailed, 0, 0, kFailed},
      {0, static_cast<ComStatus>(0x8004100E), 0, static_cast<ComStatus>(0x8004100E)},  // invalid namespace
      {0, 0, static_cast<ComStatus>(0x80070005), static_cast<ComStatus>(0x80070005)},
      {0, 1, 0, 0},
  };
  for (const Row& row : rows) {
    tests::FakeWmi wmi;
    wmi.createLocator = row.locator;
    wmi.connectServer = row.server;
    wmi.proxyBlanket = row.blanket;
    {
      MacProbe probe(wmi);
      EXPECT_EQ(row.expected, probe.Connect());
    }
    EXPECT_EQ(0, wmi.held);
  }
}

TEST_F(MacProbe_, OnlyTheFirstOfSeveralAdaptersIsRead) {
  wmi_.adapters = {FakeAdapter{u"AA:AA:AA:AA:AA:01"}, FakeAdapter{u"BB:BB:BB:BB:BB:02"}};
  EXPECT_EQ(u"AA:AA:AA:AA:AA:01", Probe());
  EXPECT_EQ(1, std::count(wmi_.journal.begin(), wmi_.journal.end(), "Next 10000ms"));
  EXPECT_EQ(1, std::count(wmi_.journal.begin(), wmi_.journal.end(), "release adapter"));
}

TEST_F(MacProbe_, KeepsAtMost32CharactersAndNothingPastANul) {
  const std::u16string thirtyTwo = u"0123456789abcdef0123456789ABCDEF";
  struct Row {
    std::u16string value, kept;
  } rows[] = {
      {thirtyTwo + u"XYZ", thirtyTwo},
      {thirtyTwo, thirtyTwo},
      {u"", u""},
      // A NUL would end the cookie text before its attributes.
      {std::u16string(u"00:11\0:22", 9), u"00:11"},
  };
  for (const Row& row : rows) {
    wmi_.adapters = {FakeAdapter{row.value}};
    EXPECT_EQ(row.kept, Probe());
  }
}

TEST_F(MacProbe_, QueryWithoutServicesTouchesNothing) {
  MacProbe probe(wmi_);
  EXPECT_EQ(std::nullopt, probe.QueryMacAddress());
  EXPECT_THAT(wmi_.journal, IsEmpty());
  EXPECT_THAT(Logged(), ElementsAre("WbemSvr is null"));
}

TEST_F(MacProbe_, ReleasesEveryReferenceWhenACallRunsOutOfMemory) {
  wmi_.adapters = {FakeAdapter{u"00:11:22:33:44:55"}};
  for (const char* call : {"ConnectServer", "SetProxyBlanket", "ExecQuery", "Next", "Get"}) {
    SCOPED_TRACE(call);
    wmi_.throwAt = call;
    wmi_.journal.clear();
    EXPECT_THROW(Probe(), std::bad_alloc);
    EXPECT_EQ(0, wmi_.held);
  }
  // Everything the probe held when Get threw goes, the adapter first.
  EXPECT_THAT(wmi_.journal, ElementsAre("CreateLocator", "ConnectServer ROOT\\CIMV2", "SetProxyBlanket 10 0 3 3 0",
                                        ::testing::StartsWith("ExecQuery"), "Next 10000ms", "release adapter",
                                        "release enumerator", "release services", "release locator"));
}

}  // namespace
}  // namespace vorlane
