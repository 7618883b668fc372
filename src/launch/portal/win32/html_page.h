#pragma once
// The page port over the MSHTML objects a portal page passes to Run.
#include <memory>

#include <oaidl.h>

#include "launch/portal/page_port.h"

namespace vorlane {

// Null when object is null or is not an IHTMLWindow2. The returned page
// holds the window's location and document for its own lifetime.
std::unique_ptr<PagePort> OpenHtmlPage(IDispatch* object);

}  // namespace vorlane
