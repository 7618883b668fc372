// The Group Policy template that ships with the release must set exactly
// the values the product reads, under its key, within the ranges it keeps:
// a policy an administrator sets that the product never reads closes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "policy/machine_policy.h"

namespace vorlane {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Narrow(const char16_t* text) {
  std::string narrow;
  for (; *text; ++text) narrow += static_cast<char>(*text);
  return narrow;
}

// Every first capture of pattern in text.
std::vector<std::string> All(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

class PolicyTemplate : public ::testing::Test {
 protected:
  const std::string admx_ = ReadFile(VORLANE_POLICY_TEMPLATE_DIR "/vorlane.admx");
  const std::string adml_ = ReadFile(VORLANE_POLICY_TEMPLATE_DIR "/en-US/vorlane.adml");
};

TEST_F(PolicyTemplate, NamesExactlyTheValuesTheProductReadsUnderItsKey) {
  ASSERT_FALSE(admx_.empty());
  std::vector<std::string> keys = All(admx_, "key=\"([^\"]*)\"");
  ASSERT_FALSE(keys.empty());
  for (const std::string& key : keys) EXPECT_EQ(Narrow(kMachinePolicyKey), key);

  std::vector<std::string> named = All(admx_, "valueName=\"([^\"]*)\"");
  std::set<std::string> written(named.begin(), named.end()), read;
  EXPECT_EQ(named.size(), written.size()) << "a value set by two policies";
  for (const char16_t* value : kMachinePolicyValues) read.insert(Narrow(value));
  EXPECT_EQ(read, written);
}

TEST_F(PolicyTemplate, NumbersOfferTheRangesAndDefaultsTheProductKeeps) {
  struct Bound {
    const char16_t* value;
    unsigned low, high, fallback;
  } bounds[] = {{kDownloadDeadlineValue, kDownloadDeadlineMin, kDownloadDeadlineMax, kDownloadDeadlineDefault},
                {kDownloadStallValue, kDownloadStallMin, kDownloadStallMax, kDownloadStallDefault}};
  for (const Bound& bound : bounds) {
    std::smatch element;
    std::string pattern = "<decimal id=\"([^\"]*)\" valueName=\"" + Narrow(bound.value) +
                          "\"[^>]*minValue=\"([0-9]+)\" maxValue=\"([0-9]+)\"";
    ASSERT_TRUE(std::regex_search(admx_, element, std::regex(pattern))) << Narrow(bound.value);
    EXPECT_EQ(std::to_string(bound.low), element[2].str());
    EXPECT_EQ(std::to_string(bound.high), element[3].str());
    std::smatch box;
    ASSERT_TRUE(std::regex_search(adml_, box,
                                  std::regex("refId=\"" + element[1].str() + "\" defaultValue=\"([0-9]+)\"")));
    EXPECT_EQ(std::to_string(bound.fallback), box[1].str());
  }
}

// Group Policy refuses a template whose texts or boxes do not resolve.
TEST_F(PolicyTemplate, EveryTextAndBoxResolvesInTheLanguageFile) {
  ASSERT_FALSE(adml_.empty());
  std::vector<std::string> strings = All(adml_, "<string id=\"([^\"]*)\"");
  std::vector<std::string> presentations = All(adml_, "<presentation id=\"([^\"]*)\"");
  std::set<std::string> stringIds(strings.begin(), strings.end());
  std::set<std::string> presentationIds(presentations.begin(), presentations.end());
  for (const std::string& id : All(admx_, "\\$\\(string\\.([^)]*)\\)")) EXPECT_TRUE(stringIds.count(id)) << id;
  for (const std::string& id : All(admx_, "\\$\\(presentation\\.([^)]*)\\)")) {
    EXPECT_TRUE(presentationIds.count(id)) << id;
  }
  std::vector<std::string> elements = All(admx_, "<(?:multiText|text|decimal) id=\"([^\"]*)\"");
  std::set<std::string> elementIds(elements.begin(), elements.end());
  std::vector<std::string> refs = All(adml_, "refId=\"([^\"]*)\"");
  EXPECT_EQ(elementIds, std::set<std::string>(refs.begin(), refs.end()));
}

}  // namespace
}  // namespace vorlane
