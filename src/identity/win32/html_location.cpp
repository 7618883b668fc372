#include "identity/win32/html_location.h"

#include <mshtml.h>

#include <new>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"

namespace vorlane {
namespace {

class HtmlLocation final : public PageLocation {
 public:
  explicit HtmlLocation(ComPtr<IHTMLLocation> location) : location_(std::move(location)) {}

  std::optional<std::u16string> Host() override {
    Bstr host;
    if (FAILED(location_->get_host(host.Put()))) return std::nullopt;
    return host.Text();
  }
  void Replace(const std::u16string& url) override {
    Bstr target(url);
    if (target.Get() == nullptr) throw std::bad_alloc();
    location_->replace(target.Get());
  }

 private:
  ComPtr<IHTMLLocation> location_;
};

}  // namespace

std::unique_ptr<PageLocation> OpenHtmlLocation(IDispatch* object) {
  if (object == nullptr) return nullptr;
  ComPtr<IHTMLLocation> location;
  if (FAILED(object->QueryInterface(IID_IHTMLLocation, location.PutVoid())) || !location) return nullptr;
  return std::make_unique<HtmlLocation>(std::move(location));
}

}  // namespace vorlane
