#include "support/diagnostic_log.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "fakes/fake_log_file.h"

namespace vorlane {
namespace {

using tests::FakeLogFile;

class DiagnosticLogTest : public ::testing::Test {
 protected:
  void SetUp() override { log.Open(kClientLogPath); }
  std::u16string Text() { return file.Text(kClientLogPath); }

  FakeLogFile file;
  DiagnosticLog log{file};
};

TEST_F(DiagnosticLogTest, WritesPrefixTimestampMessageAndCrLf) {
  log.Line(Error, u"connect error!");
  EXPECT_EQ(Text(), u"[ERROR][2014-07-09 15:04:05 123]connect error!\r\n");
  EXPECT_EQ(file.writeCalls, 1);
  EXPECT_EQ(file.flushCalls, 1);
}

TEST_F(DiagnosticLogTest, LevelNamesHaveFiveLettersAndUnknownLevelsAreDebug) {
  file.now = {2024, 12, 31, 0, 0, 9, 7};
  log.Line(Info, u"a");
  log.Line(Debug, u"b");
  log.Line(7, u"c");
  log.Line(-1, u"d");
  EXPECT_EQ(Text(),
            u"[INFOR][2024-12-31 00:00:09 007]a\r\n"
            u"[DEBUG][2024-12-31 00:00:09 007]b\r\n"
            u"[DEBUG][2024-12-31 00:00:09 007]c\r\n"
            u"[DEBUG][2024-12-31 00:00:09 007]d\r\n");
}

TEST_F(DiagnosticLogTest, CallersTextIsAFormatExpandedWithItsArguments) {
  log.Line(Info, u"%s=%d, 100%%", u"port", 8443);
  EXPECT_EQ(Text(), u"[INFOR][2014-07-09 15:04:05 123]port=8443, 100%\r\n");
}

TEST_F(DiagnosticLogTest, MessageFormatOf93CharactersIsWrittenAnd94IsDropped) {
  std::u16string fits(93, u'x');
  std::u16string tooLong(94, u'y');
  log.Line(Info, fits.c_str());
  log.Line(Info, tooLong.c_str());
  std::u16string text = Text();
  EXPECT_EQ(text.size(), 127u);
  EXPECT_NE(text.find(fits), std::u16string::npos);
  EXPECT_EQ(text.find(u'y'), std::u16string::npos);
  EXPECT_EQ(file.writeCalls, 1);
}

TEST_F(DiagnosticLogTest, ExpandedLineOf1023CharactersIsWrittenWholeAnd1024IsDropped) {
  // 32 prefix + message + 2 = 1023 -> message of 989 characters.
  std::u16string fits(989, u'a');
  std::u16string tooLong(990, u'b');
  log.Line(Info, u"%s", fits.c_str());
  log.Line(Info, u"%s", tooLong.c_str());
  std::u16string text = Text();
  EXPECT_EQ(text.size(), 1023u);
  EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
  EXPECT_EQ(text.find(u'b'), std::u16string::npos);
}

TEST_F(DiagnosticLogTest, AppendsToExistingContentWithoutByteOrderMark) {
  FakeLogFile other;
  other.files[u"c:\\ie_sslvpn_client.log"] = {'[', 0, 'x', 0, '\r', 0, '\n', 0};
  DiagnosticLog second(other);
  second.Open(kClientLogPath);
  second.Line(Error, u"m");
  std::u16string text = other.Text(kClientLogPath);
  EXPECT_EQ(text.substr(0, 4), u"[x\r\n");
  EXPECT_EQ(text.substr(4), u"[ERROR][2014-07-09 15:04:05 123]m\r\n");

  log.Line(Info, u"first");
  const auto& bytes = file.files[u"c:\\ie_sslvpn_client.log"];
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], '[');  // no 0xFF 0xFE
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes.size() % 2, 0u);
}

TEST(DiagnosticLogOpen, SamePathInOtherLetterCaseDoesNotReopen) {
  FakeLogFile file;
  DiagnosticLog log(file);
  log.Open(kClientLogPath);
  log.Open(u"c:\\IE_SSLVPN_CLIENT.LOG");
  EXPECT_EQ(file.openCalls, 1);
  EXPECT_EQ(std::u16string(log.RememberedPath()), kClientLogPath);
}

TEST(DiagnosticLogOpen, FailedOpenKeepsClientLogRememberedAndLaterCallRetries) {
  FakeLogFile file;
  file.failing.insert(u"c:\\ie_sslvpn_client.log");
  DiagnosticLog log(file);
  log.Open(kClientLogPath);
  EXPECT_EQ(std::u16string(log.RememberedPath()), u"client.log");
  EXPECT_EQ(log.Handle(), kNoLogHandle);
  log.Line(Error, u"lost");  // no log open: discarded
  EXPECT_EQ(file.writeCalls, 0);

  file.failing.clear();
  log.Open(kClientLogPath);
  EXPECT_EQ(file.openCalls, 2);
  EXPECT_EQ(std::u16string(log.RememberedPath()), kClientLogPath);
  log.Line(Error, u"kept");
  EXPECT_EQ(file.Text(kClientLogPath), u"[ERROR][2014-07-09 15:04:05 123]kept\r\n");
}

TEST(DiagnosticLogOpen, InitialClientLogIsNeverOpenedAsAFile) {
  FakeLogFile file;
  DiagnosticLog log(file);
  log.Open(u"CLIENT.LOG");
  EXPECT_EQ(file.openCalls, 0);
  EXPECT_TRUE(file.files.empty());
}

TEST(DiagnosticLogOpen, SwitchingPathClosesThePreviousLogAndFailedSwitchKeepsIt) {
  FakeLogFile file;
  DiagnosticLog log(file);
  log.Open(u"a.log");
  LogHandle first = log.Handle();
  file.failing.insert(u"b.log");
  log.Open(u"b.log");
  EXPECT_EQ(log.Handle(), first);
  EXPECT_EQ(std::u16string(log.RememberedPath()), u"a.log");
  file.failing.clear();
  log.Open(u"b.log");
  EXPECT_NE(log.Handle(), first);
  ASSERT_EQ(file.closed.size(), 1u);
  EXPECT_EQ(file.closed[0], first);
}

TEST(DiagnosticLogOpen, LongPathIsRememberedCutTo259Characters) {
  FakeLogFile file;
  DiagnosticLog log(file);
  std::u16string path(300, u'p');
  log.Open(path.c_str());
  EXPECT_EQ(std::u16string(log.RememberedPath()), path.substr(0, 259));
}

TEST(DiagnosticLogOpen, CloseReleasesTheFileAndTheSamePathOpensAgain) {
  FakeLogFile file;
  DiagnosticLog log(file);
  log.Open(kClientLogPath);
  LogHandle first = log.Handle();
  log.Close();
  ASSERT_EQ(file.closed.size(), 1u);
  EXPECT_EQ(file.closed[0], first);
  log.Line(Error, u"lost");  // nothing open
  EXPECT_EQ(file.writeCalls, 0);
  log.Open(kClientLogPath);
  EXPECT_EQ(file.openCalls, 2);
  log.Line(Error, u"kept");
  EXPECT_EQ(file.Text(kClientLogPath), u"[ERROR][2014-07-09 15:04:05 123]kept\r\n");
}

TEST(DiagnosticLogThreads, ManyWritersEachLineIntactAndCounted) {
  FakeLogFile file;
  DiagnosticLog log(file);
  log.Open(kClientLogPath);
  constexpr int kThreads = 8, kLines = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) log.Line(Info, u"thread %d line %d", t, i);
    });
  for (auto& th : threads) th.join();

  std::u16string text = file.Text(kClientLogPath);
  std::vector<int> next(kThreads, 0);
  std::size_t pos = 0, lines = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(u"\r\n", pos);
    ASSERT_NE(end, std::u16string::npos);
    std::u16string line = text.substr(pos, end - pos);
    ASSERT_EQ(line.substr(0, 32), u"[INFOR][2014-07-09 15:04:05 123]");
    int t = -1, i = -1;
    std::string narrow(line.begin() + 32, line.end());
    ASSERT_EQ(std::sscanf(narrow.c_str(), "thread %d line %d", &t, &i), 2) << narrow;
    ASSERT_EQ(i, next[t]) << "lines of one thread out of order or torn";
    ++next[t];
    ++lines;
    pos = end + 2;
  }
  EXPECT_EQ(lines, static_cast<std::size_t>(kThreads * kLines));
}

TEST(ProcessLog, FreeFunctionsWriteToTheInstalledLogOnly) {
  LogError(u"before install");  // no log installed: nothing happens
  FakeLogFile file;
  DiagnosticLog log(file);
  InstallProcessLog(&log);
  OpenLog(kClientLogPath);
  LogError(u"e");
  LogInfo(u"i %d", 5);
  LogLine(9, u"d");
  InstallProcessLog(nullptr);
  EXPECT_EQ(file.Text(kClientLogPath),
            u"[ERROR][2014-07-09 15:04:05 123]e\r\n"
            u"[INFOR][2014-07-09 15:04:05 123]i 5\r\n"
            u"[DEBUG][2014-07-09 15:04:05 123]d\r\n");
}

}  // namespace
}  // namespace vorlane
