#pragma once
// A scripted WMI, with the process log written into memory so tests read the
// probe's log messages in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_wmi.h"
#include "fakes/fake_log_file.h"
#include "support/diagnostic_log.h"

namespace vorlane::tests {

class ProbeTest : public ::testing::Test {
 protected:
  ProbeTest() {
    InstallProcessLog(&log_);
    OpenLog(kClientLogPath);
  }
  ~ProbeTest() override { InstallProcessLog(nullptr); }

  // The messages logged so far, each checked to be at Info.
  std::vector<std::string> Logged() {
    std::vector<std::string> messages;
    const std::u16string text = file_.Text(kClientLogPath);
    const std::u16string prefix = u"[INFOR][2014-07-09 15:04:05 123]";
    for (std::size_t start = 0, end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2) {
      std::u16string line = text.substr(start, end - start);
      EXPECT_EQ(prefix, line.substr(0, prefix.size()));
      messages.push_back(Narrow(line.substr(prefix.size())));
    }
    return messages;
  }

  FakeWmi wmi_;

 private:
  FakeLogFile file_;
  DiagnosticLog log_{file_};
};

}  // namespace vorlane::tests
