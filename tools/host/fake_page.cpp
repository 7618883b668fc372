#include "fake_page.h"

namespace vorlane::host {

std::optional<FakePage> FakePage::Make(const std::u16string& address,
                                       std::optional<std::u16string> cookie,
                                       PageState::NavigationObserver observer) {
  auto split = SplitPageAddress(address);
  if (!split) return std::nullopt;
  FakePage page;
  page.state_ = std::make_shared<PageState>(*split, std::move(cookie), std::move(observer));
  page.location_ = MakeFakeLocation(page.state_);
  page.document_ = MakeFakeDocument(page.state_);
  page.window_ = MakeFakeWindow(page.state_, page.location_, page.document_);
  return page;
}

}  // namespace vorlane::host
