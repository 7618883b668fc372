#include "policy/win32/site_hosting_page.h"

#include <mshtml.h>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"

namespace vorlane {

std::optional<std::u16string> SiteHostingPage::Address() {
  if (!site_) return std::nullopt;
  ComPtr<IOleContainer> container;
  if (FAILED(site_->GetContainer(container.Put())) || !container) return std::nullopt;
  ComPtr<IHTMLDocument2> document = container.As<IHTMLDocument2>(IID_IHTMLDocument2);
  if (!document) return std::nullopt;
  Bstr url;
  if (FAILED(document->get_URL(url.Put())) || !url.Get()) return std::nullopt;
  return url.Text();
}

}  // namespace vorlane
