#include "launch/portal/win32/html_page.h"

#include <mshtml.h>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"

namespace vorlane {
namespace {

// The text a BSTR property getter hands out; nothing when the getter failed
// or delivered no string.
template <typename Getter>
std::optional<std::u16string> TextOf(Getter get) {
  Bstr text;
  if (FAILED(get(text.Put())) || text.Get() == nullptr) return std::nullopt;
  return text.Text();
}

class HtmlPage final : public PagePort {
 public:
  HtmlPage(ComPtr<IHTMLLocation> location, ComPtr<IHTMLDocument2> document)
      : location_(std::move(location)), document_(std::move(document)) {}

  std::optional<std::u16string> LocationHostname() override {
    if (!location_) return std::nullopt;
    return TextOf([&](BSTR* out) { return location_->get_hostname(out); });
  }
  std::optional<std::u16string> LocationPort() override {
    if (!location_) return std::nullopt;
    return TextOf([&](BSTR* out) { return location_->get_port(out); });
  }
  std::optional<std::u16string> DocumentCookie() override {
    if (!document_) return std::nullopt;
    return TextOf([&](BSTR* out) { return document_->get_cookie(out); });
  }

 private:
  ComPtr<IHTMLLocation> location_;
  ComPtr<IHTMLDocument2> document_;
};

}  // namespace

std::unique_ptr<PagePort> OpenHtmlPage(IDispatch* object) {
  if (object == nullptr) return nullptr;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(object->QueryInterface(IID_IHTMLWindow2, window.PutVoid())) ||
      !window) {
    return nullptr;
  }
  ComPtr<IHTMLLocation> location;
  ComPtr<IHTMLDocument2> document;
  if (FAILED(window->get_location(location.Put()))) location.Reset();
  if (FAILED(window->get_document(document.Put()))) document.Reset();
  return std::make_unique<HtmlPage>(std::move(location), std::move(document));
}

}  // namespace vorlane
