#pragma once
// Two of the page ports the subsystems ask for today, each served by the one
// Page of the call.
#include "identity/page_location.h"
#include "launch/portal/page_port.h"
#include "page/page.h"

namespace vorlane {

class PagePortOverPage final : public PagePort {
 public:
  explicit PagePortOverPage(Page& page) : page_(page) {}
  std::optional<std::u16string> LocationHostname() override { return page_.Hostname(); }
  std::optional<std::u16string> LocationPort() override { return page_.Port(); }
  std::optional<std::u16string> DocumentCookie() override { return page_.Cookie(); }

 private:
  Page& page_;
};

class PageLocationOverPage final : public PageLocation {
 public:
  explicit PageLocationOverPage(Page& page) : page_(page) {}
  std::optional<std::u16string> Host() override { return page_.Host(); }
  void Replace(const std::u16string& url) override { page_.Replace(url); }

 private:
  Page& page_;
};

}  // namespace vorlane
