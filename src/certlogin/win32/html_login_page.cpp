#include "certlogin/win32/html_login_page.h"

#include <mshtml.h>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"

namespace vorlane {
namespace {

// A getter's text; nothing when the object is missing, the getter failed or
// it delivered no string.
template <typename Object, typename Getter>
std::optional<std::u16string> TextOf(const ComPtr<Object>& object, Getter get) {
  if (!object) return std::nullopt;
  Bstr text;
  if (FAILED((object.Get()->*get)(text.Put())) || text.Get() == nullptr) return std::nullopt;
  return text.Text();
}

class HtmlLoginPage final : public LoginPage {
 public:
  HtmlLoginPage(ComPtr<IHTMLWindow2> window, ComPtr<IHTMLLocation> location, ComPtr<IHTMLDocument2> document)
      : window_(std::move(window)), location_(std::move(location)), document_(std::move(document)) {}

  std::optional<std::u16string> Hostname() override { return TextOf(location_, &IHTMLLocation::get_hostname); }
  std::optional<std::u16string> Port() override { return TextOf(location_, &IHTMLLocation::get_port); }
  std::optional<std::u16string> Host() override { return TextOf(location_, &IHTMLLocation::get_host); }
  std::optional<std::u16string> Href() override { return TextOf(location_, &IHTMLLocation::get_href); }
  std::optional<std::u16string> Cookie() override { return TextOf(document_, &IHTMLDocument2::get_cookie); }
  std::optional<std::u16string> DocumentUrl() override { return TextOf(document_, &IHTMLDocument2::get_URL); }
  void Navigate(const std::u16string& url) override {
    if (!location_) return;
    Bstr text(url.c_str());
    location_->put_href(text.Get());
  }

 private:
  ComPtr<IHTMLWindow2> window_;
  ComPtr<IHTMLLocation> location_;
  ComPtr<IHTMLDocument2> document_;
};

}  // namespace

std::unique_ptr<LoginPage> OpenLoginPage(IDispatch* object) {
  if (object == nullptr) return nullptr;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(object->QueryInterface(IID_IHTMLWindow2, window.PutVoid())) || !window) return nullptr;
  ComPtr<IHTMLLocation> location;
  ComPtr<IHTMLDocument2> document;
  if (FAILED(window->get_location(location.Put()))) location.Reset();
  if (FAILED(window->get_document(document.Put()))) document.Reset();
  return std::make_unique<HtmlLoginPage>(std::move(window), std::move(location), std::move(document));
}

}  // namespace vorlane
