// vorlane-host.exe as a newcomer runs it: a child process whose output lines
// are checked for a small script of steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "common/child_process.h"
#include "host_paths.h"
#include "text.h"

namespace vorlane::host {
namespace {

using HostRun = vorlane::tests::ProgramRun;

HostRun RunHost(const std::u16string& arguments) {
  return vorlane::tests::RunAndCapture(u"\"" + tests::HostProgram() + u"\" " + arguments);
}

TEST(HostProgram, RunsAScriptOfStepsAndPrintsOneLinePerHappening) {
  std::u16string ocx = tests::ControlFile();
  HostRun run = RunHost(u"--register \"" + ocx +
                    u"\" --param ip=10.0.0.1 --param port=443 --param username=alice --param type=0"
                    u" --cookie \"Varnex_SSLID=0123456789abcdef0123456789abcdef\""
                    u" notify:Connected \"notify:\\\"\\xE4\\xB8\\xAD\\\"\" call:ResetUrl call:AboutBox"
                    u" call:NoSuchMethod save release");
  std::vector<std::string> expected = {
      "registered " + Quote(ocx),
      "created registry {44575D42-B89E-423E-B3CF-B8AFE1897A80}",
      "loaded params 4",
      "activated window",
      "notify \"Connected\" ignored",
      "notify \"中\" ignored",
      "result ResetUrl VT_BOOL false",
      "dialog \"关于 Vorlane 控件\"",
      "result AboutBox VT_EMPTY",
      "error NoSuchMethod 0x80020006",
      "property _Version \"524288\"",
  };
  ASSERT_GE(run.lines.size(), expected.size());
  EXPECT_EQ(expected, std::vector<std::string>(run.lines.begin(), run.lines.begin() + expected.size()));
  auto has = [&](const std::string& line) { return std::find(run.lines.begin(), run.lines.end(), line) != run.lines.end(); };
  EXPECT_TRUE(has("property ip \"10.0.0.1\""));
  EXPECT_TRUE(has("property port \"443\""));
  EXPECT_TRUE(has("property username \"alice\""));
  EXPECT_TRUE(has("property type \"0\""));
  EXPECT_EQ("released", run.lines.back());
  EXPECT_EQ(1u, run.exitCode);  // the unknown method failed
}

TEST(HostProgram, ExitsCleanlyWhenEveryStepRanAndRefusesBadSteps) {
  HostRun good = RunHost(u"--ocx \"" + tests::ControlFile() + u"\" wait:10 cookies");
  EXPECT_EQ(0u, good.exitCode);
  ASSERT_FALSE(good.lines.empty());
  EXPECT_EQ("initialized new", good.lines.at(1));
  EXPECT_EQ("cookies \"https://gateway.example/portals/index.html\" none", good.lines.at(3));

  HostRun bad = RunHost(u"--ocx x.ocx wait:later");
  EXPECT_EQ(2u, bad.exitCode);
  ASSERT_EQ(1u, bad.lines.size());
  EXPECT_NE(std::string::npos, bad.lines[0].find("wait needs a number of milliseconds"));
}

// Timed scripts (the browser benchmark): every line stamped, in order, and
// each call shown as it begins, the wait between the two stamps.
TEST(HostProgram, TimestampsStampEveryLineAndShowEachCallAsItBegins) {
  HostRun run = RunHost(u"--timestamps --ocx \"" + tests::ControlFile() + u"\" call:ResetUrl wait:200 call:ResetUrl");
  EXPECT_EQ(0u, run.exitCode);
  std::vector<double> stamps;
  std::vector<std::string> texts;
  for (const std::string& line : run.lines) {
    size_t space = line.find(' ');
    ASSERT_TRUE(line.starts_with("+") && space != std::string::npos) << line;
    stamps.push_back(std::stod(line.substr(1, space - 1)));
    texts.push_back(line.substr(space + 1));
  }
  EXPECT_TRUE(std::is_sorted(stamps.begin(), stamps.end()));
  std::vector<std::string> calls;
  std::copy_if(texts.begin(), texts.end(), std::back_inserter(calls),
               [](const std::string& text) { return text.find("ResetUrl") != std::string::npos; });
  EXPECT_EQ((std::vector<std::string>{"calling ResetUrl", "result ResetUrl VT_BOOL false", "calling ResetUrl",
                                      "result ResetUrl VT_BOOL false"}),
            calls);
  auto first = std::find(texts.begin(), texts.end(), "calling ResetUrl");
  ASSERT_NE(texts.end(), first);
  auto second = std::find(first + 1, texts.end(), "calling ResetUrl") - texts.begin();
  ASSERT_LT(static_cast<size_t>(second), stamps.size());
  EXPECT_GE(stamps[second] - stamps[second - 1], 190.0) << "the wait:200 between them";
}

}  // namespace
}  // namespace vorlane::host
