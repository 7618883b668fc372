#include "launch/portal/win32/html_page.h"

#include <mshtml.h>
#include <wrl/client.h>

namespace vorlane {
namespace {

using Microsoft::WRL::ComPtr;

// Owns a BSTR that a property getter hands out.
class OwnedBstr {
 public:
  OwnedBstr() = default;
  ~OwnedBstr() { SysFreeString(value_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  BSTR* Out() { return &value_; }
  // A getter that failed or delivered no string gives nothing.
  std::optional<std::u16string> Text(HRESULT result) const {
    if (FAILED(result) || value_ == nullptr) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(value_), SysStringLen(value_));
  }

 private:
  BSTR value_ = nullptr;
};

class HtmlPage final : public PagePort {
 public:
  HtmlPage(ComPtr<IHTMLLocation> location, ComPtr<IHTMLDocument2> document)
      : location_(std::move(location)), document_(std::move(document)) {}

  std::optional<std::u16string> LocationHostname() override {
    if (!location_) return std::nullopt;
    OwnedBstr text;
    return text.Text(location_->get_hostname(text.Out()));
  }
  std::optional<std::u16string> LocationPort() override {
    if (!location_) return std::nullopt;
    OwnedBstr text;
    return text.Text(location_->get_port(text.Out()));
  }
  std::optional<std::u16string> DocumentCookie() override {
    if (!document_) return std::nullopt;
    OwnedBstr text;
    return text.Text(document_->get_cookie(text.Out()));
  }

 private:
  ComPtr<IHTMLLocation> location_;
  ComPtr<IHTMLDocument2> document_;
};

}  // namespace

std::unique_ptr<PagePort> OpenHtmlPage(IDispatch* object) {
  if (object == nullptr) return nullptr;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(object->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(window.GetAddressOf()))) ||
      !window) {
    return nullptr;
  }
  ComPtr<IHTMLLocation> location;
  ComPtr<IHTMLDocument2> document;
  if (FAILED(window->get_location(location.GetAddressOf()))) location.Reset();
  if (FAILED(window->get_document(document.GetAddressOf()))) document.Reset();
  return std::make_unique<HtmlPage>(std::move(location), std::move(document));
}

}  // namespace vorlane
