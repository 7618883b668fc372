// The page's window: hands out its location and document.
#include "fake_page.h"
#include "page_object.h"

namespace vorlane::host {
namespace {

class FakeWindow final : public PageObject<IHTMLWindow2> {
 public:
  FakeWindow(std::shared_ptr<PageState> page, ComPtr<IHTMLLocation> location, ComPtr<IHTMLDocument2> document)
      : PageObject(std::move(page)), location_(std::move(location)), document_(std::move(document)) {}

  HRESULT STDMETHODCALLTYPE get_location(IHTMLLocation** out) override {
    if (!out) return E_POINTER;
    *out = location_.Get();
    if (*out) (*out)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** out) override {
    if (!out) return E_POINTER;
    *out = document_.Get();
    if (*out) (*out)->AddRef();
    return S_OK;
  }

  // Nothing else of a window is asked for by the control: a call is reported.
  HRESULT STDMETHODCALLTYPE item(VARIANT*, VARIANT*) override { return Unscripted("item"); }
  HRESULT STDMETHODCALLTYPE get_length(LONG*) override { return Unscripted("get_length"); }
  HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2**) override { return Unscripted("get_frames"); }
  HRESULT STDMETHODCALLTYPE put_defaultStatus(BSTR) override { return Unscripted("put_defaultStatus"); }
  HRESULT STDMETHODCALLTYPE get_defaultStatus(BSTR*) override { return Unscripted("get_defaultStatus"); }
  HRESULT STDMETHODCALLTYPE put_status(BSTR) override { return Unscripted("put_status"); }
  HRESULT STDMETHODCALLTYPE get_status(BSTR*) override { return Unscripted("get_status"); }
  HRESULT STDMETHODCALLTYPE setTimeout(BSTR, LONG, VARIANT*, LONG*) override { return Unscripted("setTimeout"); }
  HRESULT STDMETHODCALLTYPE clearTimeout(LONG) override { return Unscripted("clearTimeout"); }
  HRESULT STDMETHODCALLTYPE alert(BSTR) override { return Unscripted("alert"); }
  HRESULT STDMETHODCALLTYPE confirm(BSTR, VARIANT_BOOL*) override { return Unscripted("confirm"); }
  HRESULT STDMETHODCALLTYPE prompt(BSTR, BSTR, VARIANT*) override { return Unscripted("prompt"); }
  HRESULT STDMETHODCALLTYPE get_Image(IHTMLImageElementFactory**) override { return Unscripted("get_Image"); }
  HRESULT STDMETHODCALLTYPE get_history(IOmHistory**) override { return Unscripted("get_history"); }
  HRESULT STDMETHODCALLTYPE close() override { return Unscripted("close"); }
  HRESULT STDMETHODCALLTYPE put_opener(VARIANT) override { return Unscripted("put_opener"); }
  HRESULT STDMETHODCALLTYPE get_opener(VARIANT*) override { return Unscripted("get_opener"); }
  HRESULT STDMETHODCALLTYPE get_navigator(IOmNavigator**) override { return Unscripted("get_navigator"); }
  HRESULT STDMETHODCALLTYPE put_name(BSTR) override { return Unscripted("put_name"); }
  HRESULT STDMETHODCALLTYPE get_name(BSTR*) override { return Unscripted("get_name"); }
  HRESULT STDMETHODCALLTYPE get_parent(IHTMLWindow2**) override { return Unscripted("get_parent"); }
  HRESULT STDMETHODCALLTYPE open(BSTR, BSTR, BSTR, VARIANT_BOOL, IHTMLWindow2**) override { return Unscripted("open"); }
  HRESULT STDMETHODCALLTYPE get_self(IHTMLWindow2**) override { return Unscripted("get_self"); }
  HRESULT STDMETHODCALLTYPE get_top(IHTMLWindow2**) override { return Unscripted("get_top"); }
  HRESULT STDMETHODCALLTYPE get_window(IHTMLWindow2**) override { return Unscripted("get_window"); }
  HRESULT STDMETHODCALLTYPE navigate(BSTR) override { return Unscripted("navigate"); }
  HRESULT STDMETHODCALLTYPE put_onfocus(VARIANT) override { return Unscripted("put_onfocus"); }
  HRESULT STDMETHODCALLTYPE get_onfocus(VARIANT*) override { return Unscripted("get_onfocus"); }
  HRESULT STDMETHODCALLTYPE put_onblur(VARIANT) override { return Unscripted("put_onblur"); }
  HRESULT STDMETHODCALLTYPE get_onblur(VARIANT*) override { return Unscripted("get_onblur"); }
  HRESULT STDMETHODCALLTYPE put_onload(VARIANT) override { return Unscripted("put_onload"); }
  HRESULT STDMETHODCALLTYPE get_onload(VARIANT*) override { return Unscripted("get_onload"); }
  HRESULT STDMETHODCALLTYPE put_onbeforeunload(VARIANT) override { return Unscripted("put_onbeforeunload"); }
  HRESULT STDMETHODCALLTYPE get_onbeforeunload(VARIANT*) override { return Unscripted("get_onbeforeunload"); }
  HRESULT STDMETHODCALLTYPE put_onunload(VARIANT) override { return Unscripted("put_onunload"); }
  HRESULT STDMETHODCALLTYPE get_onunload(VARIANT*) override { return Unscripted("get_onunload"); }
  HRESULT STDMETHODCALLTYPE put_onhelp(VARIANT) override { return Unscripted("put_onhelp"); }
  HRESULT STDMETHODCALLTYPE get_onhelp(VARIANT*) override { return Unscripted("get_onhelp"); }
  HRESULT STDMETHODCALLTYPE put_onerror(VARIANT) override { return Unscripted("put_onerror"); }
  HRESULT STDMETHODCALLTYPE get_onerror(VARIANT*) override { return Unscripted("get_onerror"); }
  HRESULT STDMETHODCALLTYPE put_onresize(VARIANT) override { return Unscripted("put_onresize"); }
  HRESULT STDMETHODCALLTYPE get_onresize(VARIANT*) override { return Unscripted("get_onresize"); }
  HRESULT STDMETHODCALLTYPE put_onscroll(VARIANT) override { return Unscripted("put_onscroll"); }
  HRESULT STDMETHODCALLTYPE get_onscroll(VARIANT*) override { return Unscripted("get_onscroll"); }
  HRESULT STDMETHODCALLTYPE get_event(IHTMLEventObj**) override { return Unscripted("get_event"); }
  HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown**) override { return Unscripted("get__newEnum"); }
  HRESULT STDMETHODCALLTYPE showModalDialog(BSTR, VARIANT*, VARIANT*, VARIANT*) override { return Unscripted("showModalDialog"); }
  HRESULT STDMETHODCALLTYPE showHelp(BSTR, VARIANT, BSTR) override { return Unscripted("showHelp"); }
  HRESULT STDMETHODCALLTYPE get_screen(IHTMLScreen**) override { return Unscripted("get_screen"); }
  HRESULT STDMETHODCALLTYPE get_Option(IHTMLOptionElementFactory**) override { return Unscripted("get_Option"); }
  HRESULT STDMETHODCALLTYPE focus() override { return Unscripted("focus"); }
  HRESULT STDMETHODCALLTYPE get_closed(VARIANT_BOOL*) override { return Unscripted("get_closed"); }
  HRESULT STDMETHODCALLTYPE blur() override { return Unscripted("blur"); }
  HRESULT STDMETHODCALLTYPE scroll(LONG, LONG) override { return Unscripted("scroll"); }
  HRESULT STDMETHODCALLTYPE get_clientInformation(IOmNavigator**) override { return Unscripted("get_clientInformation"); }
  HRESULT STDMETHODCALLTYPE setInterval(BSTR, LONG, VARIANT*, LONG*) override { return Unscripted("setInterval"); }
  HRESULT STDMETHODCALLTYPE clearInterval(LONG) override { return Unscripted("clearInterval"); }
  HRESULT STDMETHODCALLTYPE put_offscreenBuffering(VARIANT) override { return Unscripted("put_offscreenBuffering"); }
  HRESULT STDMETHODCALLTYPE get_offscreenBuffering(VARIANT*) override { return Unscripted("get_offscreenBuffering"); }
  HRESULT STDMETHODCALLTYPE execScript(BSTR, BSTR, VARIANT*) override { return Unscripted("execScript"); }
  HRESULT STDMETHODCALLTYPE toString(BSTR*) override { return Unscripted("toString"); }
  HRESULT STDMETHODCALLTYPE scrollBy(LONG, LONG) override { return Unscripted("scrollBy"); }
  HRESULT STDMETHODCALLTYPE scrollTo(LONG, LONG) override { return Unscripted("scrollTo"); }
  HRESULT STDMETHODCALLTYPE moveTo(LONG, LONG) override { return Unscripted("moveTo"); }
  HRESULT STDMETHODCALLTYPE moveBy(LONG, LONG) override { return Unscripted("moveBy"); }
  HRESULT STDMETHODCALLTYPE resizeTo(LONG, LONG) override { return Unscripted("resizeTo"); }
  HRESULT STDMETHODCALLTYPE resizeBy(LONG, LONG) override { return Unscripted("resizeBy"); }
  HRESULT STDMETHODCALLTYPE get_external(IDispatch**) override { return Unscripted("get_external"); }

 private:
  const ComPtr<IHTMLLocation> location_;
  const ComPtr<IHTMLDocument2> document_;
};

}  // namespace

ComPtr<IHTMLWindow2> MakeFakeWindow(std::shared_ptr<PageState> page, ComPtr<IHTMLLocation> location,
                                    ComPtr<IHTMLDocument2> document) {
  return ComPtr<IHTMLWindow2>::Adopt(new FakeWindow(std::move(page), std::move(location), std::move(document)));
}

}  // namespace vorlane::host
