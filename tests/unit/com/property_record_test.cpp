#include "com/property_record.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PropertyRecord, TextConvertsToIntegersWithinRangeOnly) {
  PropertyRecord record;
  record.Set(u"a", std::u16string(u" -1 "));
  record.Set(u"b", std::u16string(u"70000"));
  record.Set(u"c", std::u16string(u"12x"));
  record.Set(u"d", std::u16string(u"-"));
  EXPECT_EQ(record.ReadShort(u"a"), std::int16_t(-1));
  EXPECT_EQ(record.ReadUnsigned(u"a"), std::nullopt);
  EXPECT_EQ(record.ReadShort(u"b"), std::nullopt);
  EXPECT_EQ(record.ReadLong(u"b"), 70000);
  EXPECT_EQ(record.ReadLong(u"c"), std::nullopt);
  EXPECT_EQ(record.ReadLong(u"d"), std::nullopt);
  EXPECT_EQ(record.ReadLong(u"absent"), std::nullopt);
}

TEST(PropertyRecord, NumbersReadAsText) {
  PropertyRecord record;
  record.WriteShort(u"type", -1);
  EXPECT_EQ(record.ReadText(u"type"), u"-1");
}

TEST(PropertyRecord, LaterWriteReplacesInPlace) {
  PropertyRecord record;
  record.WriteLong(u"x", 1);
  record.WriteText(u"y", u"t");
  record.WriteLong(u"x", 2);
  ASSERT_EQ(record.Entries().size(), 2u);
  EXPECT_EQ(record.Entries()[0].name, u"x");
  EXPECT_EQ(record.ReadLong(u"x"), 2);
}

TEST(PropertyRecord, SerializesAndReadsBackEveryKind) {
  PropertyRecord record;
  record.WriteUnsigned(u"_Version", 524288);
  record.WriteLong(u"port", -443);
  record.WriteShort(u"type", -1);
  record.WriteText(u"username", u"\u5f20\u4e09");
  record.WriteText(u"ip", u"");
  std::optional<PropertyRecord> back = PropertyRecord::Deserialize(record.Serialize());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Entries(), record.Entries());
}

TEST(PropertyRecord, RefusesDamagedBytes) {
  PropertyRecord record;
  record.WriteText(u"ip", u"10.0.0.1");
  std::vector<std::uint8_t> bytes = record.Serialize();
  EXPECT_FALSE(PropertyRecord::Deserialize({}));
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    std::vector<std::uint8_t> shorter(bytes.begin(), bytes.begin() + cut);
    EXPECT_FALSE(PropertyRecord::Deserialize(shorter)) << cut;
  }
  std::vector<std::uint8_t> longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(PropertyRecord::Deserialize(longer));
  std::vector<std::uint8_t> wrongMagic = bytes;
  wrongMagic[0] ^= 1;
  EXPECT_FALSE(PropertyRecord::Deserialize(wrongMagic));
  std::vector<std::uint8_t> hugeText = bytes;
  hugeText[12 + 4 + 4 + 2 + 3] = 0x7F;  // the value's length, high byte
  EXPECT_FALSE(PropertyRecord::Deserialize(hugeText));
}

// Names are written without NULs; a name holding one would otherwise be
// read as its part before the NUL and take the place of another property.
TEST(PropertyRecord, RefusesNameHoldingNul) {
  PropertyRecord record;
  record.WriteText(u"ipZx", u"10.0.0.1");
  std::vector<std::uint8_t> bytes = record.Serialize();
  ASSERT_EQ(bytes[12 + 4 + 4], 'Z');
  bytes[12 + 4 + 4] = 0;
  EXPECT_FALSE(PropertyRecord::Deserialize(bytes));
}

// A short takes a 32-bit slot, sign-extended; a slot beyond a short's range
// is refused rather than read as its low 16 bits.
TEST(PropertyRecord, RefusesShortOutsideItsRange) {
  PropertyRecord record;
  record.WriteShort(u"type", -1);
  std::vector<std::uint8_t> bytes = record.Serialize();
  ASSERT_TRUE(PropertyRecord::Deserialize(bytes));
  std::size_t slot = bytes.size() - 4;
  for (std::uint32_t raw : {0x00010001u, 0x02000001u, 0x00008000u, 0xFFFF7FFFu}) {
    for (int i = 0; i < 4; ++i) bytes[slot + i] = std::uint8_t(raw >> (8 * i));
    EXPECT_FALSE(PropertyRecord::Deserialize(bytes)) << std::hex << raw;
  }
  for (std::uint32_t raw : {0x00007FFFu, 0xFFFF8000u}) {
    for (int i = 0; i < 4; ++i) bytes[slot + i] = std::uint8_t(raw >> (8 * i));
    EXPECT_TRUE(PropertyRecord::Deserialize(bytes)) << std::hex << raw;
  }
}

}  // namespace
}  // namespace vorlane
