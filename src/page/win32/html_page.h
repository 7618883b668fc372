#pragma once
// The page over MSHTML: the object a portal passes to a method, or the
// document that hosts the control.
#include <memory>

#include <oaidl.h>
#include <oleidl.h>

#include "page/page.h"

namespace vorlane {

// What a method takes from the page: Run its window, GetPCHardInfo its
// location.
enum class HtmlObject { kWindow, kLocation };

// Null when object is null or is not of that kind. A window gives its
// location and its document; a location answers nothing for the document.
// The page holds its objects while it lives.
std::unique_ptr<Page> OpenHtmlPage(IDispatch* object, HtmlObject kind);

// The document that hosts the control, reached through the client site's
// container. It is looked up at the first question, so that a call that never
// asks never touches the container; the page answers nothing when the site
// is null or its container is not an HTML document.
std::unique_ptr<Page> OpenHostingDocument(IOleClientSite* site);

}  // namespace vorlane
