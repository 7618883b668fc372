#pragma once
// The host's messages to the extension, as JSON texts.
#include <cstdint>
#include <string>
#include <variant>

#include "bridge/call_errors.h"
#include "bridge/page_actions.h"

namespace vorlane {

// A member's result: null for the members that give nothing.
using CallResult = std::variant<std::monostate, bool>;

std::string ResultReply(std::uint64_t id, const CallResult& result);
std::string ErrorReply(const CallError& error);
std::string ActionReply(std::uint64_t id, const PageAction& action);
std::string EventMessage(const std::u16string& text);

}  // namespace vorlane
