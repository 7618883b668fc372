#pragma once
// A page for the control to read and navigate: window, location and document
// objects built from an address and a cookie string. They answer what the
// control asks of a portal page and record every navigation; every other
// member answers E_NOTIMPL.
#include <windows.h>
#include <mshtml.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "page_state.h"
#include "support/win32/com_ptr.h"

namespace vorlane::host {

ComPtr<IHTMLLocation> MakeFakeLocation(std::shared_ptr<PageState> page);
ComPtr<IHTMLDocument2> MakeFakeDocument(std::shared_ptr<PageState> page);
ComPtr<IHTMLWindow2> MakeFakeWindow(std::shared_ptr<PageState> page, ComPtr<IHTMLLocation> location,
                                    ComPtr<IHTMLDocument2> document);

class FakePage {
 public:
  // nullopt when `address` is not an absolute address.
  static std::optional<FakePage> Make(const std::u16string& address,
                                      std::optional<std::u16string> cookie,
                                      PageState::NavigationObserver observer = {});

  const ComPtr<IHTMLWindow2>& window() const { return window_; }
  const ComPtr<IHTMLLocation>& location() const { return location_; }
  const ComPtr<IHTMLDocument2>& document() const { return document_; }
  const PageAddress& address() const { return state_->address(); }
  std::vector<Navigation> Navigations() const { return state_->Navigations(); }
  void SetDocumentUrl(std::u16string url) { state_->SetDocumentUrl(std::move(url)); }

 private:
  std::shared_ptr<PageState> state_;
  ComPtr<IHTMLLocation> location_;
  ComPtr<IHTMLDocument2> document_;
  ComPtr<IHTMLWindow2> window_;
};

}  // namespace vorlane::host
