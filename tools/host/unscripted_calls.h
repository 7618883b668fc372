#pragma once
// The fake page objects answer only what a test scripts. Any other member the
// control calls is a fault of the control or of the fakes, and must not pass
// as a quiet E_NOTIMPL: every such call is reported to the handler, which by
// default writes it to stderr and keeps it, so the host program can end with
// failure; a GoogleTest suite installs a handler that fails the test.
#include <functional>
#include <string>
#include <vector>

namespace vorlane::host {

using UnscriptedCallHandler = std::function<void(const std::string& call)>;

// Replaces the handler for the whole process; an empty one restores the default.
void SetUnscriptedCallHandler(UnscriptedCallHandler handler);
// "IHTMLLocation::get_search": reports the call; answers E_NOTIMPL to return.
long ReportUnscriptedCall(const char* object, const char* member);
// The calls the default handler has seen, in order.
std::vector<std::string> UnscriptedCalls();

}  // namespace vorlane::host
