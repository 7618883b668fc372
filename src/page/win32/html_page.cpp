#include "page/win32/html_page.h"

#include <mshtml.h>

#include <new>
#include <utility>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

// A getter's text; nothing when the object is missing, the getter failed or
// it delivered no string.
template <typename Object>
std::optional<std::u16string> TextOf(const ComPtr<Object>& object, HRESULT (STDMETHODCALLTYPE Object::*get)(BSTR*)) {
  if (!object) return std::nullopt;
  Bstr text;
  if (FAILED((object.Get()->*get)(text.Put())) || text.Get() == nullptr) return std::nullopt;
  return text.Text();
}

class HtmlPage final : public Page {
 public:
  HtmlPage(ComPtr<IHTMLWindow2> window, ComPtr<IHTMLLocation> location, ComPtr<IHTMLDocument2> document)
      : window_(std::move(window)), location_(std::move(location)), document_(std::move(document)) {}
  explicit HtmlPage(IOleClientSite* site) : site_(site) {}

  std::optional<std::u16string> Href() override { return TextOf(location_, &IHTMLLocation::get_href); }
  std::optional<std::u16string> Protocol() override { return TextOf(location_, &IHTMLLocation::get_protocol); }
  std::optional<std::u16string> Host() override { return TextOf(location_, &IHTMLLocation::get_host); }
  std::optional<std::u16string> Hostname() override { return TextOf(location_, &IHTMLLocation::get_hostname); }
  std::optional<std::u16string> Port() override { return TextOf(location_, &IHTMLLocation::get_port); }
  std::optional<std::u16string> Cookie() override { return TextOf(Document(), &IHTMLDocument2::get_cookie); }
  std::optional<std::u16string> DocumentUrl() override { return TextOf(Document(), &IHTMLDocument2::get_URL); }

  bool Assign(const std::u16string& url) override {
    if (!location_) return false;
    Bstr target(url);
    if (!target.Get()) throw std::bad_alloc();  // never navigate to an empty address instead
    return SUCCEEDED(location_->put_href(target.Get()));
  }
  bool Replace(const std::u16string& url) override {
    if (!location_) return false;
    Bstr target(url);
    if (!target.Get()) throw std::bad_alloc();
    return SUCCEEDED(location_->replace(target.Get()));
  }

 private:
  // The hosting document is found through the site once, when first needed.
  const ComPtr<IHTMLDocument2>& Document() {
    if (ComPtr<IOleClientSite> site = std::exchange(site_, nullptr)) {
      ComPtr<IOleContainer> container;
      if (SUCCEEDED(site->GetContainer(container.Put())) && container) {
        document_ = container.As<IHTMLDocument2>(IID_IHTMLDocument2);
      }
    }
    return document_;
  }

  ComPtr<IHTMLWindow2> window_;
  ComPtr<IHTMLLocation> location_;
  ComPtr<IHTMLDocument2> document_;
  ComPtr<IOleClientSite> site_;
};

}  // namespace

std::unique_ptr<Page> OpenHtmlPage(IDispatch* object, HtmlObject kind) {
  if (object == nullptr) return nullptr;
  if (kind == HtmlObject::kLocation) {
    ComPtr<IHTMLLocation> location;
    if (FAILED(object->QueryInterface(IID_IHTMLLocation, location.PutVoid())) || !location) return nullptr;
    return std::make_unique<HtmlPage>(nullptr, std::move(location), nullptr);
  }
  ComPtr<IHTMLWindow2> window;
  if (FAILED(object->QueryInterface(IID_IHTMLWindow2, window.PutVoid())) || !window) return nullptr;
  ComPtr<IHTMLLocation> location;
  ComPtr<IHTMLDocument2> document;
  if (FAILED(window->get_location(location.Put()))) location.Reset();
  if (FAILED(window->get_document(document.Put()))) document.Reset();
  return std::make_unique<HtmlPage>(std::move(window), std::move(location), std::move(document));
}

std::unique_ptr<Page> OpenHostingDocument(IOleClientSite* site) { return std::make_unique<HtmlPage>(site); }

}  // namespace vorlane
