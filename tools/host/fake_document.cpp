// The page's document: its cookie string and address.
#include "fake_page.h"
#include "page_object.h"

namespace vorlane::host {
namespace {

class FakeDocument final : public PageObject<IHTMLDocument2> {
 public:
  using PageObject::PageObject;

  HRESULT STDMETHODCALLTYPE get_cookie(BSTR* out) override {
    if (!out) return E_POINTER;
    // A page without cookies delivers no string at all, as a browser does.
    if (!page_->cookie()) {
      *out = nullptr;
      return S_OK;
    }
    return Deliver(*page_->cookie(), out);
  }
  HRESULT STDMETHODCALLTYPE get_URL(BSTR* out) override { return Deliver(page_->documentUrl(), out); }

  // Nothing else of a document is asked for by the control: a call is reported.
  HRESULT STDMETHODCALLTYPE get_Script(IDispatch**) override { return Unscripted("get_Script"); }
  HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection**) override { return Unscripted("get_all"); }
  HRESULT STDMETHODCALLTYPE get_body(IHTMLElement**) override { return Unscripted("get_body"); }
  HRESULT STDMETHODCALLTYPE get_activeElement(IHTMLElement**) override { return Unscripted("get_activeElement"); }
  HRESULT STDMETHODCALLTYPE get_images(IHTMLElementCollection**) override { return Unscripted("get_images"); }
  HRESULT STDMETHODCALLTYPE get_applets(IHTMLElementCollection**) override { return Unscripted("get_applets"); }
  HRESULT STDMETHODCALLTYPE get_links(IHTMLElementCollection**) override { return Unscripted("get_links"); }
  HRESULT STDMETHODCALLTYPE get_forms(IHTMLElementCollection**) override { return Unscripted("get_forms"); }
  HRESULT STDMETHODCALLTYPE get_anchors(IHTMLElementCollection**) override { return Unscripted("get_anchors"); }
  HRESULT STDMETHODCALLTYPE put_title(BSTR) override { return Unscripted("put_title"); }
  HRESULT STDMETHODCALLTYPE get_title(BSTR*) override { return Unscripted("get_title"); }
  HRESULT STDMETHODCALLTYPE get_scripts(IHTMLElementCollection**) override { return Unscripted("get_scripts"); }
  HRESULT STDMETHODCALLTYPE put_designMode(BSTR) override { return Unscripted("put_designMode"); }
  HRESULT STDMETHODCALLTYPE get_designMode(BSTR*) override { return Unscripted("get_designMode"); }
  HRESULT STDMETHODCALLTYPE get_selection(IHTMLSelectionObject**) override { return Unscripted("get_selection"); }
  HRESULT STDMETHODCALLTYPE get_readyState(BSTR*) override { return Unscripted("get_readyState"); }
  HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2**) override { return Unscripted("get_frames"); }
  HRESULT STDMETHODCALLTYPE get_embeds(IHTMLElementCollection**) override { return Unscripted("get_embeds"); }
  HRESULT STDMETHODCALLTYPE get_plugins(IHTMLElementCollection**) override { return Unscripted("get_plugins"); }
  HRESULT STDMETHODCALLTYPE put_alinkColor(VARIANT) override { return Unscripted("put_alinkColor"); }
  HRESULT STDMETHODCALLTYPE get_alinkColor(VARIANT*) override { return Unscripted("get_alinkColor"); }
  HRESULT STDMETHODCALLTYPE put_bgColor(VARIANT) override { return Unscripted("put_bgColor"); }
  HRESULT STDMETHODCALLTYPE get_bgColor(VARIANT*) override { return Unscripted("get_bgColor"); }
  HRESULT STDMETHODCALLTYPE put_fgColor(VARIANT) override { return Unscripted("put_fgColor"); }
  HRESULT STDMETHODCALLTYPE get_fgColor(VARIANT*) override { return Unscripted("get_fgColor"); }
  HRESULT STDMETHODCALLTYPE put_linkColor(VARIANT) override { return Unscripted("put_linkColor"); }
  HRESULT STDMETHODCALLTYPE get_linkColor(VARIANT*) override { return Unscripted("get_linkColor"); }
  HRESULT STDMETHODCALLTYPE put_vlinkColor(VARIANT) override { return Unscripted("put_vlinkColor"); }
  HRESULT STDMETHODCALLTYPE get_vlinkColor(VARIANT*) override { return Unscripted("get_vlinkColor"); }
  HRESULT STDMETHODCALLTYPE get_referrer(BSTR*) override { return Unscripted("get_referrer"); }
  HRESULT STDMETHODCALLTYPE get_location(IHTMLLocation**) override { return Unscripted("get_location"); }
  HRESULT STDMETHODCALLTYPE get_lastModified(BSTR*) override { return Unscripted("get_lastModified"); }
  HRESULT STDMETHODCALLTYPE put_URL(BSTR) override { return Unscripted("put_URL"); }
  HRESULT STDMETHODCALLTYPE put_domain(BSTR) override { return Unscripted("put_domain"); }
  HRESULT STDMETHODCALLTYPE get_domain(BSTR*) override { return Unscripted("get_domain"); }
  HRESULT STDMETHODCALLTYPE put_cookie(BSTR) override { return Unscripted("put_cookie"); }
  HRESULT STDMETHODCALLTYPE put_expando(VARIANT_BOOL) override { return Unscripted("put_expando"); }
  HRESULT STDMETHODCALLTYPE get_expando(VARIANT_BOOL*) override { return Unscripted("get_expando"); }
  HRESULT STDMETHODCALLTYPE put_charset(BSTR) override { return Unscripted("put_charset"); }
  HRESULT STDMETHODCALLTYPE get_charset(BSTR*) override { return Unscripted("get_charset"); }
  HRESULT STDMETHODCALLTYPE put_defaultCharset(BSTR) override { return Unscripted("put_defaultCharset"); }
  HRESULT STDMETHODCALLTYPE get_defaultCharset(BSTR*) override { return Unscripted("get_defaultCharset"); }
  HRESULT STDMETHODCALLTYPE get_mimeType(BSTR*) override { return Unscripted("get_mimeType"); }
  HRESULT STDMETHODCALLTYPE get_fileSize(BSTR*) override { return Unscripted("get_fileSize"); }
  HRESULT STDMETHODCALLTYPE get_fileCreatedDate(BSTR*) override { return Unscripted("get_fileCreatedDate"); }
  HRESULT STDMETHODCALLTYPE get_fileModifiedDate(BSTR*) override { return Unscripted("get_fileModifiedDate"); }
  HRESULT STDMETHODCALLTYPE get_fileUpdatedDate(BSTR*) override { return Unscripted("get_fileUpdatedDate"); }
  HRESULT STDMETHODCALLTYPE get_security(BSTR*) override { return Unscripted("get_security"); }
  HRESULT STDMETHODCALLTYPE get_protocol(BSTR*) override { return Unscripted("get_protocol"); }
  HRESULT STDMETHODCALLTYPE get_nameProp(BSTR*) override { return Unscripted("get_nameProp"); }
  HRESULT STDMETHODCALLTYPE write(SAFEARRAY*) override { return Unscripted("write"); }
  HRESULT STDMETHODCALLTYPE writeln(SAFEARRAY*) override { return Unscripted("writeln"); }
  HRESULT STDMETHODCALLTYPE open(BSTR, VARIANT, VARIANT, VARIANT, IDispatch**) override { return Unscripted("open"); }
  HRESULT STDMETHODCALLTYPE close() override { return Unscripted("close"); }
  HRESULT STDMETHODCALLTYPE clear() override { return Unscripted("clear"); }
  HRESULT STDMETHODCALLTYPE queryCommandSupported(BSTR, VARIANT_BOOL*) override { return Unscripted("queryCommandSupported"); }
  HRESULT STDMETHODCALLTYPE queryCommandEnabled(BSTR, VARIANT_BOOL*) override { return Unscripted("queryCommandEnabled"); }
  HRESULT STDMETHODCALLTYPE queryCommandState(BSTR, VARIANT_BOOL*) override { return Unscripted("queryCommandState"); }
  HRESULT STDMETHODCALLTYPE queryCommandIndeterm(BSTR, VARIANT_BOOL*) override { return Unscripted("queryCommandIndeterm"); }
  HRESULT STDMETHODCALLTYPE queryCommandText(BSTR, BSTR*) override { return Unscripted("queryCommandText"); }
  HRESULT STDMETHODCALLTYPE queryCommandValue(BSTR, VARIANT*) override { return Unscripted("queryCommandValue"); }
  HRESULT STDMETHODCALLTYPE execCommand(BSTR, VARIANT_BOOL, VARIANT, VARIANT_BOOL*) override { return Unscripted("execCommand"); }
  HRESULT STDMETHODCALLTYPE execCommandShowHelp(BSTR, VARIANT_BOOL*) override { return Unscripted("execCommandShowHelp"); }
  HRESULT STDMETHODCALLTYPE createElement(BSTR, IHTMLElement**) override { return Unscripted("createElement"); }
  HRESULT STDMETHODCALLTYPE put_onhelp(VARIANT) override { return Unscripted("put_onhelp"); }
  HRESULT STDMETHODCALLTYPE get_onhelp(VARIANT*) override { return Unscripted("get_onhelp"); }
  HRESULT STDMETHODCALLTYPE put_onclick(VARIANT) override { return Unscripted("put_onclick"); }
  HRESULT STDMETHODCALLTYPE get_onclick(VARIANT*) override { return Unscripted("get_onclick"); }
  HRESULT STDMETHODCALLTYPE put_ondblclick(VARIANT) override { return Unscripted("put_ondblclick"); }
  HRESULT STDMETHODCALLTYPE get_ondblclick(VARIANT*) override { return Unscripted("get_ondblclick"); }
  HRESULT STDMETHODCALLTYPE put_onkeyup(VARIANT) override { return Unscripted("put_onkeyup"); }
  HRESULT STDMETHODCALLTYPE get_onkeyup(VARIANT*) override { return Unscripted("get_onkeyup"); }
  HRESULT STDMETHODCALLTYPE put_onkeydown(VARIANT) override { return Unscripted("put_onkeydown"); }
  HRESULT STDMETHODCALLTYPE get_onkeydown(VARIANT*) override { return Unscripted("get_onkeydown"); }
  HRESULT STDMETHODCALLTYPE put_onkeypress(VARIANT) override { return Unscripted("put_onkeypress"); }
  HRESULT STDMETHODCALLTYPE get_onkeypress(VARIANT*) override { return Unscripted("get_onkeypress"); }
  HRESULT STDMETHODCALLTYPE put_onmouseup(VARIANT) override { return Unscripted("put_onmouseup"); }
  HRESULT STDMETHODCALLTYPE get_onmouseup(VARIANT*) override { return Unscripted("get_onmouseup"); }
  HRESULT STDMETHODCALLTYPE put_onmousedown(VARIANT) override { return Unscripted("put_onmousedown"); }
  HRESULT STDMETHODCALLTYPE get_onmousedown(VARIANT*) override { return Unscripted("get_onmousedown"); }
  HRESULT STDMETHODCALLTYPE put_onmousemove(VARIANT) override { return Unscripted("put_onmousemove"); }
  HRESULT STDMETHODCALLTYPE get_onmousemove(VARIANT*) override { return Unscripted("get_onmousemove"); }
  HRESULT STDMETHODCALLTYPE put_onmouseout(VARIANT) override { return Unscripted("put_onmouseout"); }
  HRESULT STDMETHODCALLTYPE get_onmouseout(VARIANT*) override { return Unscripted("get_onmouseout"); }
  HRESULT STDMETHODCALLTYPE put_onmouseover(VARIANT) override { return Unscripted("put_onmouseover"); }
  HRESULT STDMETHODCALLTYPE get_onmouseover(VARIANT*) override { return Unscripted("get_onmouseover"); }
  HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT) override { return Unscripted("put_onreadystatechange"); }
  HRESULT STDMETHODCALLTYPE get_onreadystatechange(VARIANT*) override { return Unscripted("get_onreadystatechange"); }
  HRESULT STDMETHODCALLTYPE put_onafterupdate(VARIANT) override { return Unscripted("put_onafterupdate"); }
  HRESULT STDMETHODCALLTYPE get_onafterupdate(VARIANT*) override { return Unscripted("get_onafterupdate"); }
  HRESULT STDMETHODCALLTYPE put_onrowexit(VARIANT) override { return Unscripted("put_onrowexit"); }
  HRESULT STDMETHODCALLTYPE get_onrowexit(VARIANT*) override { return Unscripted("get_onrowexit"); }
  HRESULT STDMETHODCALLTYPE put_onrowenter(VARIANT) override { return Unscripted("put_onrowenter"); }
  HRESULT STDMETHODCALLTYPE get_onrowenter(VARIANT*) override { return Unscripted("get_onrowenter"); }
  HRESULT STDMETHODCALLTYPE put_ondragstart(VARIANT) override { return Unscripted("put_ondragstart"); }
  HRESULT STDMETHODCALLTYPE get_ondragstart(VARIANT*) override { return Unscripted("get_ondragstart"); }
  HRESULT STDMETHODCALLTYPE put_onselectstart(VARIANT) override { return Unscripted("put_onselectstart"); }
  HRESULT STDMETHODCALLTYPE get_onselectstart(VARIANT*) override { return Unscripted("get_onselectstart"); }
  HRESULT STDMETHODCALLTYPE elementFromPoint(LONG, LONG, IHTMLElement**) override { return Unscripted("elementFromPoint"); }
  HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2**) override { return Unscripted("get_parentWindow"); }
  HRESULT STDMETHODCALLTYPE get_styleSheets(IHTMLStyleSheetsCollection**) override { return Unscripted("get_styleSheets"); }
  HRESULT STDMETHODCALLTYPE put_onbeforeupdate(VARIANT) override { return Unscripted("put_onbeforeupdate"); }
  HRESULT STDMETHODCALLTYPE get_onbeforeupdate(VARIANT*) override { return Unscripted("get_onbeforeupdate"); }
  HRESULT STDMETHODCALLTYPE put_onerrorupdate(VARIANT) override { return Unscripted("put_onerrorupdate"); }
  HRESULT STDMETHODCALLTYPE get_onerrorupdate(VARIANT*) override { return Unscripted("get_onerrorupdate"); }
  HRESULT STDMETHODCALLTYPE toString(BSTR*) override { return Unscripted("toString"); }
  HRESULT STDMETHODCALLTYPE createStyleSheet(BSTR, LONG, IHTMLStyleSheet**) override { return Unscripted("createStyleSheet"); }
};

}  // namespace

ComPtr<IHTMLDocument2> MakeFakeDocument(std::shared_ptr<PageState> page) {
  return ComPtr<IHTMLDocument2>::Adopt(new FakeDocument(std::move(page)));
}

}  // namespace vorlane::host
