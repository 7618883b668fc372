#include "com/dispatch_table.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr DispatchEntry kTable[] = {
    {u"Open", 10, ResultType::Boolean, 2, {ArgType::Text, ArgType::Boolean}},
    {u"OpenAll", 11, ResultType::None, 0, {}},
};

TEST(DispatchTable, NamesMatchWithoutRegardToCaseButWhole) {
  EXPECT_EQ(FindMemberByName(kTable, u"open")->dispid, 10);
  EXPECT_EQ(FindMemberByName(kTable, u"OPENALL")->dispid, 11);
  EXPECT_EQ(FindMemberByName(kTable, u"Ope"), nullptr);
  EXPECT_EQ(FindMemberByName(kTable, u"OpenAllX"), nullptr);
  EXPECT_EQ(FindMemberByName(kTable, u""), nullptr);
  EXPECT_EQ(FindMemberByName(kTable, nullptr), nullptr);
  // Only ASCII letters fold: a look-alike outside ASCII is another name.
  EXPECT_EQ(FindMemberByName(kTable, u"\u00D6pen"), nullptr);
}

TEST(DispatchTable, IdsFindTheirMember) {
  EXPECT_EQ(FindMemberById(kTable, 11), &kTable[1]);
  EXPECT_EQ(FindMemberById(kTable, 12), nullptr);
}

TEST(DispatchTable, ArgumentCountsAreExact) {
  EXPECT_EQ(CheckArgumentCount(kTable[0], 2), ArgCountCheck::Fits);
  EXPECT_EQ(CheckArgumentCount(kTable[0], 1), ArgCountCheck::TooFew);
  EXPECT_EQ(CheckArgumentCount(kTable[0], 3), ArgCountCheck::TooMany);
  EXPECT_EQ(CheckArgumentCount(kTable[1], 0), ArgCountCheck::Fits);
  EXPECT_EQ(CheckArgumentCount(kTable[1], 1), ArgCountCheck::TooMany);
}

TEST(DispatchTable, OnlyACallReachesAMemberNeverAPropertyReadOrWrite) {
  EXPECT_TRUE(CallReachesMember(kDispatchMethod));
  EXPECT_TRUE(CallReachesMember(kDispatchMethod | kDispatchPropertyGet));  // how VBScript calls
  EXPECT_FALSE(CallReachesMember(kDispatchPropertyGet));                   // `ctl.ResetUrl` without ()
  EXPECT_FALSE(CallReachesMember(0));
  EXPECT_FALSE(CallReachesMember(kDispatchPropertyPut));
  EXPECT_FALSE(CallReachesMember(kDispatchMethod | kDispatchPropertyPut));
  EXPECT_FALSE(CallReachesMember(kDispatchMethod | kDispatchPropertyPutRef));
}

TEST(DispatchTable, BooleanResultLooksAtTheLow16BitsOnly) {
  EXPECT_TRUE(BooleanResult(1));
  EXPECT_TRUE(BooleanResult(-1));
  EXPECT_TRUE(BooleanResult(0x8000));
  EXPECT_FALSE(BooleanResult(0));
  EXPECT_FALSE(BooleanResult(0x10000));
  EXPECT_FALSE(BooleanResult(static_cast<std::int32_t>(0xFFFF0000u)));
}

}  // namespace
}  // namespace vorlane
