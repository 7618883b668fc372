#include "control/control_tables.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ControlDispatchTable, ResolvesMemberNamesInAnyCase) {
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"run")->dispid, 1000);
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"RUN")->dispid, 1000);
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"ResetUrl")->dispid, 1003);
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"getpchardinfo")->dispid, 1004);
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"aboutbox")->dispid, -552);
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"Reset"), nullptr);
  EXPECT_EQ(FindMemberByName(kControlDispatchTable, u"OnClientMessage"), nullptr);
}

TEST(ControlDispatchTable, MembersTakeTheirArgumentsAndGiveBooleans) {
  const DispatchEntry& runCmd = *FindMemberById(kControlDispatchTable, kDispIdRunCmd);
  EXPECT_EQ(CheckArgumentCount(runCmd, 2), ArgCountCheck::Fits);
  EXPECT_EQ(CheckArgumentCount(runCmd, 1), ArgCountCheck::TooFew);
  EXPECT_EQ(runCmd.args[0], ArgType::Text);
  EXPECT_EQ(runCmd.args[1], ArgType::Boolean);
  EXPECT_EQ(runCmd.result, ResultType::Boolean);

  EXPECT_EQ(FindMemberById(kControlDispatchTable, kDispIdRun)->result, ResultType::Boolean);
  EXPECT_EQ(FindMemberById(kControlDispatchTable, kDispIdResetUrl)->result, ResultType::Boolean);
  EXPECT_EQ(FindMemberById(kControlDispatchTable, kDispIdClose)->args[0], ArgType::Short);
  EXPECT_EQ(FindMemberById(kControlDispatchTable, kDispIdClose)->result, ResultType::None);
  EXPECT_EQ(CheckArgumentCount(*FindMemberById(kControlDispatchTable, kDispIdResetUrl), 1), ArgCountCheck::TooMany);
  EXPECT_EQ(FindMemberById(kControlDispatchTable, 1005), nullptr);
}

}  // namespace
}  // namespace vorlane
