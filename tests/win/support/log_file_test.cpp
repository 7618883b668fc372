// The diagnostic log on the real file system, through the Windows adapter.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/test_files.h"
#include "support/win32/win32_log_file.h"

namespace vorlane {
namespace {

using tests::ReadFileBytes;
using tests::Utf16;

std::u16string TempPath(const char16_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return reinterpret_cast<const char16_t*>(dir) + std::u16string(name);
}

TEST(Win32Log, WritesTheFormattedLineAsUtf16WithoutBomAndFlushes) {
  std::u16string path = TempPath(u"format.log");
  tests::DeleteFileAt(path);
  Win32LogFile file;
  DiagnosticLog log(file);
  log.Open(path.c_str());

  SYSTEMTIME before;
  GetLocalTime(&before);
  log.Line(Error, u"connect error!");

  // Read back while the log still holds the file: the line is already on disk.
  std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size() % 2, 0u);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], '[');
  EXPECT_EQ(bytes[1], '\0');
  std::u16string text = Utf16(bytes);
  ASSERT_EQ(text.size(), 32u + 14u + 2u);
  EXPECT_EQ(text.substr(0, 8), u"[ERROR][");
  EXPECT_EQ(text.substr(31), u"]connect error!\r\n");
  int y, mo, d, h, mi, s, ms;
  std::string stamp(text.begin() + 8, text.begin() + 31);
  ASSERT_EQ(std::sscanf(stamp.c_str(), "%4d-%2d-%2d %2d:%2d:%2d %3d", &y, &mo, &d, &h, &mi, &s, &ms), 7)
      << stamp;
  EXPECT_EQ(y, before.wYear);
  EXPECT_EQ(mo, before.wMonth);
  EXPECT_EQ(d, before.wDay);
  EXPECT_EQ(stamp[19], ' ');  // milliseconds after a blank, not a point
}

TEST(Win32Log, AppendsToAnExistingFileAndHoldsItAgainstOtherWriters) {
  std::u16string path = TempPath(u"append.log");
  ASSERT_TRUE(tests::WriteFileBytes(path, std::string("o\0l\0d\0\r\0\n\0", 10)));
  Win32LogFile file;
  DiagnosticLog log(file);
  log.Open(path.c_str());
  log.Line(Info, u"new");
  std::u16string text = Utf16(ReadFileBytes(path));
  EXPECT_EQ(text.substr(0, 5), u"old\r\n");
  EXPECT_EQ(text.substr(5, 7), u"[INFOR]");
  EXPECT_EQ(text.substr(text.size() - 5), u"new\r\n");

  // Readers may share the file; a second writer may not.
  HANDLE writer = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  // A second log (as another process would) cannot open it, keeps
  // "client.log" remembered, and its lines are lost.
  Win32LogFile otherFile;
  DiagnosticLog other(otherFile);
  other.Open(path.c_str());
  EXPECT_EQ(std::u16string(other.RememberedPath()), u"client.log");
  other.Line(Error, u"lost");
  EXPECT_EQ(Utf16(ReadFileBytes(path)), text);
}

TEST(Win32Log, ProcessLogOpensClientLogOnceWhateverTheLetterCase) {
  DiagnosticLog& log = InstallWin32ProcessLog();
  OpenLog(kClientLogPath);
  LogHandle first = log.Handle();
  ASSERT_NE(first, kNoLogHandle);
  OpenLog(u"c:\\IE_SSLVPN_CLIENT.LOG");
  EXPECT_EQ(log.Handle(), first);
  LogInfo(u"create a new thread to download update.exe");
  std::u16string text = Utf16(ReadFileBytes(kClientLogPath));
  EXPECT_EQ(text.substr(0, 7), u"[INFOR]");
  EXPECT_EQ(text.substr(32), u"create a new thread to download update.exe\r\n");
}

TEST(Win32Log, ThreadsWritingAtOnceLeaveEveryLineIntact) {
  std::u16string path = TempPath(u"threads.log");
  tests::DeleteFileAt(path);
  Win32LogFile file;
  DiagnosticLog log(file);
  log.Open(path.c_str());
  constexpr int kThreads = 4, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) log.Line(Info, u"writer %d line %04d", t, i);
    });
  for (auto& th : threads) th.join();

  std::u16string text = Utf16(ReadFileBytes(path));
  std::vector<int> next(kThreads, 0);
  std::size_t pos = 0;
  int lines = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(u"\r\n", pos);
    ASSERT_NE(end, std::u16string::npos);
    std::string body(text.begin() + pos + 32, text.begin() + end);
    int t = -1, i = -1;
    ASSERT_EQ(std::sscanf(body.c_str(), "writer %d line %d", &t, &i), 2) << body;
    ASSERT_EQ(i, next[t]);
    ++next[t];
    ++lines;
    pos = end + 2;
  }
  EXPECT_EQ(lines, kThreads * kLines);
}

}  // namespace
}  // namespace vorlane
