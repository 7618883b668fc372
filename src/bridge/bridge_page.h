#pragma once
// The page as the core sees it in the host: the context that came with the
// call, and navigations handed to the extension.
#include "bridge/bridge_call.h"
#include "bridge/page_actions.h"
#include "page/page.h"

namespace vorlane {

class BridgePage final : public Page {
 public:
  BridgePage(const PageContext& context, PageActionSink& actions) : context_(context), actions_(actions) {}

  std::optional<std::u16string> Href() override { return context_.href; }
  std::optional<std::u16string> Protocol() override { return context_.protocol; }
  std::optional<std::u16string> Host() override { return context_.host; }
  std::optional<std::u16string> Hostname() override { return context_.hostname; }
  std::optional<std::u16string> Port() override { return context_.port; }
  std::optional<std::u16string> Cookie() override { return context_.cookie; }
  std::optional<std::u16string> DocumentUrl() override { return context_.url; }
  bool Assign(const std::u16string& url) override;
  bool Replace(const std::u16string& url) override;

 private:
  const PageContext& context_;
  PageActionSink& actions_;
};

}  // namespace vorlane
