#include "control/control_properties.h"

#include <gtest/gtest.h>

#include "com/property_record.h"
#include "control/process_wide_type.h"
#include "fakes/fake_log_file.h"

namespace vorlane {
namespace {

class ControlPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallProcessLog(&log_); }
  void TearDown() override { InstallProcessLog(nullptr); }

  ControlProperties Loaded(const PropertyRecord& given, ControlProperties start = {}) {
    PropertyRecord bag = given;
    PropertyExchange load(ExchangeMode::Load, &bag);
    ExchangeControlProperties(load, start);
    return start;
  }

  tests::FakeLogFile files_;
  DiagnosticLog log_{files_};
};

TEST_F(ControlPropertiesTest, LoadsThePageParameters) {
  PropertyRecord page;
  page.Set(u"ip", std::u16string(u"10.1.2.3"));
  page.Set(u"port", std::u16string(u"8443"));
  page.Set(u"username", std::u16string(u"alice"));
  page.Set(u"type", std::u16string(u"2"));
  ControlProperties loaded = Loaded(page);
  EXPECT_EQ(loaded.ip, u"10.1.2.3");
  EXPECT_EQ(loaded.port, 8443);
  EXPECT_EQ(loaded.username, u"alice");
  EXPECT_EQ(loaded.TypeForUsers(), 2);
  EXPECT_EQ(ProcessWideType(), 2);
}

TEST_F(ControlPropertiesTest, MinusOneTypeReadsAs65535) {
  PropertyRecord page;
  page.Set(u"type", std::u16string(u"-1"));
  EXPECT_EQ(Loaded(page).TypeForUsers(), 65535);
  EXPECT_EQ(ProcessWideType(), 65535);
}

TEST_F(ControlPropertiesTest, AbsentOrUnconvertibleValuesKeepTheEarlierOnes) {
  ControlProperties earlier{u"bob", u"gw", 443, 1};
  PropertyRecord page;
  page.Set(u"type", std::u16string(u"abc"));
  page.Set(u"port", std::u16string(u"99999999999"));
  ControlProperties loaded = Loaded(page, earlier);
  EXPECT_EQ(loaded.type, 1);
  EXPECT_EQ(loaded.port, 443);
  EXPECT_EQ(loaded.username, u"bob");
  EXPECT_EQ(loaded.ip, u"gw");
  EXPECT_EQ(ProcessWideType(), 1);
}

TEST_F(ControlPropertiesTest, NothingGivenStartsPortAndTypeAtZero) {
  ControlProperties loaded = Loaded({});
  EXPECT_EQ(loaded.port, 0);
  EXPECT_EQ(loaded.type, 0);
  EXPECT_EQ(loaded.ip, u"");
}

TEST_F(ControlPropertiesTest, ResetLeavesAllFourAndStillPublishesTheType) {
  SetProcessWideType(9);
  ControlProperties held{u"bob", u"gw", 443, 3};
  PropertyExchange reset(ExchangeMode::Reset, nullptr);
  ExchangeControlProperties(reset, held);
  EXPECT_EQ(held.username, u"bob");
  EXPECT_EQ(held.ip, u"gw");
  EXPECT_EQ(held.port, 443);
  EXPECT_EQ(held.type, 3);
  EXPECT_EQ(ProcessWideType(), 3);
}

TEST_F(ControlPropertiesTest, SaveWritesTheHeldValuesInOrder) {
  ControlProperties held{u"bob", u"gw", 8443, -1};
  PropertyRecord saved;
  PropertyExchange save(ExchangeMode::Save, &saved);
  ExchangeControlProperties(save, held);
  ASSERT_EQ(saved.Entries().size(), 4u);
  EXPECT_EQ(saved.Entries()[0], (PropertyRecord::Entry{u"ip", std::u16string(u"gw")}));
  EXPECT_EQ(saved.Entries()[1], (PropertyRecord::Entry{u"port", std::int32_t(8443)}));
  EXPECT_EQ(saved.Entries()[2], (PropertyRecord::Entry{u"username", std::u16string(u"bob")}));
  EXPECT_EQ(saved.Entries()[3], (PropertyRecord::Entry{u"type", std::int16_t(-1)}));
}

TEST_F(ControlPropertiesTest, EveryExchangeOpensTheClientLogOnlyOnce) {
  Loaded({});
  Loaded({});
  ControlProperties other;
  PropertyExchange reset(ExchangeMode::Reset, nullptr);
  ExchangeControlProperties(reset, other);
  EXPECT_EQ(files_.openCalls, 1);
  EXPECT_EQ(std::u16string(log_.RememberedPath()), kClientLogPath);
}

// A page that may not script the control must not set the type the
// portal's next certificate login speaks by; one not yet known waits.
TEST_F(ControlPropertiesTest, TypeOfARefusedOrUnknownPageStaysOffTheProcessWideType) {
  SetProcessWideType(2);
  PropertyRecord page;
  page.Set(u"type", std::u16string(u"7"));
  auto exchange = [&](HeldType& held, PageVerdict verdict) {
    PropertyRecord bag = page;
    PropertyExchange load(ExchangeMode::Load, &bag);
    ControlProperties loaded;
    ExchangeControlProperties(load, loaded, held, verdict);
    EXPECT_EQ(loaded.TypeForUsers(), 7);  // the control itself keeps what it was given
  };

  HeldType refused;
  exchange(refused, PageVerdict::Refused);
  EXPECT_EQ(ProcessWideType(), 2);
  EXPECT_FALSE(refused.Holding());
  refused.Judge(PageVerdict::Allowed);  // dropped, not kept for later
  EXPECT_EQ(ProcessWideType(), 2);

  HeldType unknown;
  exchange(unknown, PageVerdict::Unknown);
  unknown.Judge(PageVerdict::Unknown);
  EXPECT_EQ(ProcessWideType(), 2);
  unknown.Judge(PageVerdict::Refused);
  unknown.Judge(PageVerdict::Allowed);
  EXPECT_EQ(ProcessWideType(), 2);

  HeldType later;
  exchange(later, PageVerdict::Unknown);
  later.Judge(PageVerdict::Allowed);
  EXPECT_EQ(ProcessWideType(), 7);
  EXPECT_FALSE(later.Holding());
}

}  // namespace
}  // namespace vorlane
