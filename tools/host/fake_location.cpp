// The page's location: reports the address and records navigations.
#include "fake_page.h"
#include "page_object.h"
#include "text.h"

namespace vorlane::host {
namespace {

std::u16string TextOf(BSTR text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text)) : u"";
}

class FakeLocation final : public PageObject<IHTMLLocation> {
 public:
  using PageObject::PageObject;

  HRESULT STDMETHODCALLTYPE get_href(BSTR* out) override { return Deliver(page_->address().href, out); }
  HRESULT STDMETHODCALLTYPE toString(BSTR* out) override { return Deliver(page_->address().href, out); }
  HRESULT STDMETHODCALLTYPE get_host(BSTR* out) override { return Deliver(page_->address().host, out); }
  HRESULT STDMETHODCALLTYPE get_hostname(BSTR* out) override {
    return Deliver(page_->address().hostname, out);
  }
  HRESULT STDMETHODCALLTYPE get_port(BSTR* out) override { return Deliver(page_->address().port, out); }

  HRESULT STDMETHODCALLTYPE put_href(BSTR url) override { return Navigate(u"href", url); }
  HRESULT STDMETHODCALLTYPE replace(BSTR url) override { return Navigate(u"replace", url); }
  HRESULT STDMETHODCALLTYPE assign(BSTR url) override { return Navigate(u"assign", url); }

  HRESULT STDMETHODCALLTYPE put_protocol(BSTR) override { return Unscripted("put_protocol"); }
  HRESULT STDMETHODCALLTYPE get_protocol(BSTR* out) override { return Deliver(page_->address().protocol, out); }
  HRESULT STDMETHODCALLTYPE put_host(BSTR) override { return Unscripted("put_host"); }
  HRESULT STDMETHODCALLTYPE put_hostname(BSTR) override { return Unscripted("put_hostname"); }
  HRESULT STDMETHODCALLTYPE put_port(BSTR) override { return Unscripted("put_port"); }
  HRESULT STDMETHODCALLTYPE put_pathname(BSTR) override { return Unscripted("put_pathname"); }
  HRESULT STDMETHODCALLTYPE get_pathname(BSTR*) override { return Unscripted("get_pathname"); }
  HRESULT STDMETHODCALLTYPE put_search(BSTR) override { return Unscripted("put_search"); }
  HRESULT STDMETHODCALLTYPE get_search(BSTR*) override { return Unscripted("get_search"); }
  HRESULT STDMETHODCALLTYPE put_hash(BSTR) override { return Unscripted("put_hash"); }
  HRESULT STDMETHODCALLTYPE get_hash(BSTR*) override { return Unscripted("get_hash"); }
  HRESULT STDMETHODCALLTYPE reload(VARIANT_BOOL) override { return Unscripted("reload"); }

 private:
  HRESULT Navigate(const char16_t* kind, BSTR url) {
    try {
      page_->Navigate(kind, TextOf(url));
    } catch (...) {  // nothing may escape into the control
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
};

}  // namespace

ComPtr<IHTMLLocation> MakeFakeLocation(std::shared_ptr<PageState> page) {
  return ComPtr<IHTMLLocation>::Adopt(new FakeLocation(std::move(page)));
}

}  // namespace vorlane::host
