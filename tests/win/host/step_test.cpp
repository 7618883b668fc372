// Reading the host's steps from command-line words.
#include <gtest/gtest.h>

#include "step.h"

namespace vorlane::host {
namespace {

using Kind = StepArgument::Kind;

Step Parsed(const std::string& word) {
  std::string error;
  auto step = ParseStep(word, &error);
  EXPECT_TRUE(step) << word << ": " << error;
  return step.value_or(Step{});
}

std::string Refused(const std::string& word) {
  std::string error;
  EXPECT_FALSE(ParseStep(word, &error)) << word;
  return error;
}

TEST(Step, CallTakesTypedArguments) {
  Step step = Parsed("call:RunCmd:\"C:\\\\windows\\\\notepad.exe a:b\":true:-5:window:location:document:bare");
  EXPECT_EQ(Step::Kind::kCall, step.kind);
  EXPECT_EQ("RunCmd", step.name);
  ASSERT_EQ(7u, step.args.size());
  EXPECT_EQ(Kind::kText, step.args[0].kind);
  EXPECT_EQ("C:\\windows\\notepad.exe a:b", step.args[0].text);  // a quoted ':' does not split
  EXPECT_EQ(Kind::kBoolean, step.args[1].kind);
  EXPECT_TRUE(step.args[1].boolean);
  EXPECT_EQ(Kind::kInteger, step.args[2].kind);
  EXPECT_EQ(-5, step.args[2].integer);
  EXPECT_EQ(Kind::kWindow, step.args[3].kind);
  EXPECT_EQ(Kind::kLocation, step.args[4].kind);
  EXPECT_EQ(Kind::kDocument, step.args[5].kind);
  EXPECT_EQ(Kind::kText, step.args[6].kind);
  EXPECT_EQ("bare", step.args[6].text);
}

TEST(Step, QuotingKeepsWordsThatWouldOtherwiseBeTyped) {
  Step step = Parsed("call:X:\"true\":\"12\":\"window\":\"\"");
  ASSERT_EQ(4u, step.args.size());
  for (const auto& arg : step.args) EXPECT_EQ(Kind::kText, arg.kind);
  EXPECT_EQ("window", step.args[2].text);
  EXPECT_EQ("", step.args[3].text);
  EXPECT_TRUE(Parsed("call:AboutBox").args.empty());
}

TEST(Step, NotifyTakesTheRestOrOneQuotedTextWithByteEscapes) {
  EXPECT_EQ("state:a b", Parsed("notify:state:a b").text);
  EXPECT_EQ("", Parsed("notify:").text);
  EXPECT_EQ(std::string("\xE4\xB8\xAD\xFF\"\\\n", 7), Parsed("notify:\"\\xE4\\xb8\\xAD\\xff\\\"\\\\\\n\"").text);
  EXPECT_EQ(Step::Kind::kNotify, Parsed("notify:x").kind);
}

TEST(Step, OtherSteps) {
  EXPECT_EQ(250u, Parsed("wait:250").milliseconds);
  EXPECT_EQ(Step::Kind::kSave, Parsed("save").kind);
  EXPECT_EQ(Step::Kind::kRelease, Parsed("release").kind);
  Step cookies = Parsed("cookies");
  EXPECT_EQ(Step::Kind::kCookies, cookies.kind);
  EXPECT_EQ("", cookies.text);
  EXPECT_EQ("https://gw.example:8443/", Parsed("cookies:https://gw.example:8443/").text);
}

TEST(Step, RefusesWhatIsNotAStep) {
  EXPECT_EQ("unknown step", Refused("jump"));
  EXPECT_EQ("unknown step", Refused("save:now"));
  EXPECT_EQ("call needs a method name", Refused("call"));
  EXPECT_EQ("call needs a method name", Refused("call::x"));
  EXPECT_EQ("wait needs a number of milliseconds", Refused("wait:soon"));
  EXPECT_EQ("wait needs a number of milliseconds", Refused("wait:-1"));
  EXPECT_EQ("notify needs a text", Refused("notify"));
  EXPECT_EQ("unterminated quote", Refused("notify:\"abc"));
  EXPECT_EQ("text after a closing quote", Refused("call:X:\"a\"b"));
  EXPECT_EQ("\\x needs two hex digits", Refused("notify:\"\\x4\""));
}

}  // namespace
}  // namespace vorlane::host
