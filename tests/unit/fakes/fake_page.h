#pragma once
// The hosting page with scripted texts. Every text starts as "not delivered";
// each suite sets what its page shows. Reads are counted and navigations
// recorded; with a log set, cookie reads and navigations also land there, in
// order with the other fakes of a test.
#include <optional>
#include <string>
#include <vector>

#include "page/page.h"

namespace vorlane::tests {

class FakePage final : public Page {
 public:
  std::optional<std::u16string> href, protocol, host, hostname, port, cookie, documentUrl;
  int reads = 0;  // every text asked for, whichever
  std::vector<std::u16string> assigned, replaced;
  std::vector<std::string>* log = nullptr;

  std::optional<std::u16string> Href() override { return Read(href); }
  std::optional<std::u16string> Protocol() override { return Read(protocol); }
  std::optional<std::u16string> Host() override { return Read(host); }
  std::optional<std::u16string> Hostname() override { return Read(hostname); }
  std::optional<std::u16string> Port() override { return Read(port); }
  std::optional<std::u16string> Cookie() override {
    if (log) log->push_back("get cookie");
    return Read(cookie);
  }
  std::optional<std::u16string> DocumentUrl() override { return Read(documentUrl); }
  bool Assign(const std::u16string& url) override {
    assigned.push_back(url);
    // Test addresses are ASCII: each unit is one byte of the log line.
    if (log) log->push_back("navigate " + std::string(url.begin(), url.end()));
    return true;
  }
  bool Replace(const std::u16string& url) override {
    replaced.push_back(url);
    return true;
  }

 private:
  std::optional<std::u16string> Read(const std::optional<std::u16string>& text) {
    ++reads;
    return text;
  }
};

}  // namespace vorlane::tests
