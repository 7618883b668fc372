#pragma once
// Reads one message of the extension into a call, or says what is wrong with
// it. Nothing is run for a message that does not read.
#include <string>
#include <variant>

#include "bridge/bridge_call.h"
#include "bridge/call_errors.h"

namespace vorlane {

// The id is kept in the error whenever it could be read, so the page learns
// which of its calls was refused. Members the schema does not name are
// ignored, so the extension may add some without breaking older hosts.
std::variant<BridgeCall, CallError> ParseCall(const std::string& text);

}  // namespace vorlane
