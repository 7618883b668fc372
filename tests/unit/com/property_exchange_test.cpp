#include "com/property_exchange.h"

#include <gtest/gtest.h>

#include "com/framework_properties.h"
#include "com/property_record.h"

namespace vorlane {
namespace {

TEST(PropertyExchange, LoadWithoutDefaultLeavesFieldsThatAreAbsentOrUnconvertible) {
  PropertyRecord bag;
  bag.Set(u"count", std::u16string(u"abc"));
  bag.Set(u"name", std::u16string(u"gw"));
  std::int32_t count = 7, missing = 8;
  std::u16string name = u"old", other = u"kept";
  PropertyExchange load(ExchangeMode::Load, &bag);
  load.Long(u"count", count);
  load.Long(u"missing", missing);
  load.Text(u"name", name);
  load.Text(u"other", other);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(missing, 8);
  EXPECT_EQ(name, u"gw");
  EXPECT_EQ(other, u"kept");
}

TEST(PropertyExchange, DefaultsApplyToAbsentValuesAndResets) {
  PropertyRecord empty;
  std::int32_t withDefault = 1;
  std::int16_t withoutDefault = 5;
  PropertyExchange load(ExchangeMode::Load, &empty);
  load.Long(u"a", withDefault, 42);
  EXPECT_EQ(withDefault, 42);

  withDefault = 1;
  PropertyExchange reset(ExchangeMode::Reset, nullptr);
  reset.Long(u"a", withDefault, 42);
  reset.Short(u"b", withoutDefault);
  EXPECT_EQ(withDefault, 42);
  EXPECT_EQ(withoutDefault, 5);
}

TEST(FrameworkProperties, SaveWritesVersion80AndTheExtentInOrder) {
  FrameworkProperties properties;
  properties.version = 1;  // whatever was loaded, a save writes 8.0
  properties.extentX = 2646;
  properties.extentY = 1323;
  PropertyRecord saved;
  PropertyExchange save(ExchangeMode::Save, &saved);
  ExchangeFrameworkProperties(save, properties);
  ASSERT_EQ(saved.Entries().size(), 4u);
  EXPECT_EQ(saved.Entries()[0], (PropertyRecord::Entry{u"_Version", std::uint32_t(524288)}));
  EXPECT_EQ(saved.Entries()[1], (PropertyRecord::Entry{u"_ExtentX", std::int32_t(2646)}));
  EXPECT_EQ(saved.Entries()[2], (PropertyRecord::Entry{u"_ExtentY", std::int32_t(1323)}));
  EXPECT_EQ(saved.Entries()[3], (PropertyRecord::Entry{u"_StockProps", std::uint32_t(0)}));
}

TEST(FrameworkProperties, AbsentExtentKeepsTheCurrentOne) {
  FrameworkProperties properties;
  properties.extentX = 100;
  properties.extentY = 200;
  PropertyRecord bag;
  bag.Set(u"_ExtentY", std::u16string(u"300"));
  PropertyExchange load(ExchangeMode::Load, &bag);
  ExchangeFrameworkProperties(load, properties);
  EXPECT_EQ(properties.extentX, 100);
  EXPECT_EQ(properties.extentY, 300);
  EXPECT_EQ(properties.version, kPropertySetVersion);
}

TEST(FrameworkProperties, InitialSizeIs100By50PixelsInHimetric) {
  EXPECT_EQ(PixelsToHimetric(kInitialWidthPixels, 96), 2646);
  EXPECT_EQ(PixelsToHimetric(kInitialHeightPixels, 96), 1323);
  EXPECT_EQ(HimetricToPixels(2646, 96), 100);
  EXPECT_EQ(HimetricToPixels(1323, 96), 50);
}

}  // namespace
}  // namespace vorlane
