#include "bridge/replies.h"

#include <nlohmann/json.hpp>

#include "bridge/utf_text.h"

namespace vorlane {
namespace {

using nlohmann::json;

std::string Text(const json& message) { return message.dump(-1, ' ', false, json::error_handler_t::replace); }

struct ActionJson {
  json& out;
  void operator()(const SetCookieAction& cookie) const {
    out["action"] = "setCookie";
    out["url"] = Utf8FromUtf16(cookie.url);
    out["name"] = Utf8FromUtf16(cookie.name);
    out["value"] = Utf8FromUtf16(cookie.value);
    if (cookie.path) out["path"] = Utf8FromUtf16(*cookie.path);
    if (cookie.expires) out["expires"] = *cookie.expires;
  }
  void operator()(const NavigateAction& navigate) const {
    out["action"] = "navigate";
    out["how"] = navigate.replace ? "replace" : "assign";
    out["url"] = Utf8FromUtf16(navigate.url);
  }
};

}  // namespace

std::string ResultReply(std::uint64_t id, const CallResult& result) {
  json reply{{"id", id}};
  if (const bool* value = std::get_if<bool>(&result)) reply["result"] = *value;
  else reply["result"] = nullptr;
  return Text(reply);
}

std::string ErrorReply(const CallError& error) {
  json reply = json::object();
  if (error.id) reply["id"] = *error.id;
  reply["error"] = {{"code", error.code}, {"message", error.message}};
  return Text(reply);
}

std::string ActionReply(std::uint64_t id, const PageAction& action) {
  json reply{{"id", id}};
  std::visit(ActionJson{reply}, action);
  return Text(reply);
}

std::string EventMessage(const std::u16string& text) {
  return Text(json{{"event", "OnClientMessage"}, {"text", Utf8FromUtf16(text)}});
}

}  // namespace vorlane
