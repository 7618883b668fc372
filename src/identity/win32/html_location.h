#pragma once
// The page location over MSHTML's IHTMLLocation.
#include <memory>

#include <oaidl.h>

#include "identity/page_location.h"

namespace vorlane {

// Null when `object` is null or is not an IHTMLLocation (the page's window,
// for example). The returned location holds its own reference.
std::unique_ptr<PageLocation> OpenHtmlLocation(IDispatch* object);

}  // namespace vorlane
