#include "bridge/bridge_session.h"

#include <functional>
#include <new>
#include <variant>

#include "bridge/action_cookie_store.h"
#include "bridge/bridge_page.h"
#include "bridge/origin_check.h"
#include "bridge/parse_call.h"
#include "bridge/replies.h"
#include "bridge/utf_text.h"

namespace vorlane {
namespace {

// Page actions go out as they happen, each carrying the call's id.
class CallActions final : public PageActionSink {
 public:
  CallActions(std::uint64_t id, std::function<void(const std::string&)> send) : id_(id), send_(std::move(send)) {}
  void Add(PageAction action) override { send_(ActionReply(id_, action)); }

 private:
  std::uint64_t id_;
  std::function<void(const std::string&)> send_;
};

void Apply(const ObjectParams& params, BridgeProperties& properties) {
  if (params.ip) properties.ip = *params.ip;
  if (params.port) properties.port = *params.port;
  if (params.username) properties.username = *params.username;
  if (params.type) properties.type = *params.type;
}

std::string Limit() { return std::to_string(kMaxIncomingMessage); }

}  // namespace

bool BridgeSession::Handle(const IncomingMessage& message) {
  switch (message.kind) {
    case IncomingMessage::Kind::kClosed:
    case IncomingMessage::Kind::kCutShort:
      return false;
    case IncomingMessage::Kind::kTooLong:
      Send(ErrorReply({std::nullopt, kErrorTooLong,
                       "a message of " + std::to_string(message.length) + " bytes is over the host's limit of " +
                           Limit() + " bytes; the host ends"}),
           std::nullopt);
      return false;
    case IncomingMessage::Kind::kEmpty:
      Send(ErrorReply({std::nullopt, kErrorBadJson, "a message of length zero holds no JSON"}), std::nullopt);
      return true;
    case IncomingMessage::Kind::kMessage:
      break;
  }
  auto parsed = ParseCall(message.text);
  if (auto* error = std::get_if<CallError>(&parsed)) {
    Send(ErrorReply(*error), error->id);
    return true;
  }
  RunCall(std::get<BridgeCall>(parsed));
  return true;
}

void BridgeSession::RunCall(const BridgeCall& call) {
  if (!OriginMayCall(policy_, call.origin)) {
    Send(ErrorReply({call.id, kErrorRefused,
                     "the machine's AllowedHosts policy does not list the page's origin " + Utf8FromUtf16(call.origin)}),
         call.id);
    return;
  }
  if (!PageLiesOnOrigin(call.page, call.origin)) {
    Send(ErrorReply({call.id, kErrorRefused, "the page's address is not on its origin " + Utf8FromUtf16(call.origin)}),
         call.id);
    return;
  }
  Apply(call.params, properties_);
  CallActions actions(call.id, [this, &call](const std::string& text) { Send(text, call.id); });
  BridgePage page(call.page, actions);
  ActionCookieStore cookies(actions);
  CallResult result;
  try {
    members_.TakeProperties(properties_);
    switch (call.member) {
      case Member::kRun:
        result = members_.Run(page, cookies, properties_.TypeForUsers());
        break;
      case Member::kRunCmd:
        result = members_.RunCmd(call.command, call.wait);
        break;
      case Member::kClose:
        members_.Close(call.flag);
        break;
      case Member::kResetUrl:
        result = members_.ResetUrl();
        break;
      case Member::kGetPCHardInfo:
        members_.GetPCHardInfo(page, cookies);
        break;
    }
  } catch (const std::bad_alloc&) {
    Send(ErrorReply({call.id, kErrorFailed, "the host ran out of memory"}), call.id);
    return;
  } catch (const std::exception& e) {
    Send(ErrorReply({call.id, kErrorFailed, e.what()}), call.id);
    return;
  }
  Send(ResultReply(call.id, result), call.id);
}

void BridgeSession::SendEvent(const std::u16string& text) { Send(EventMessage(text), std::nullopt); }

void BridgeSession::Send(const std::string& text, std::optional<std::uint64_t> id) {
  if (text.size() <= kMaxOutgoingMessage) {
    out_.Write(FrameMessage(text));
    return;
  }
  out_.Write(FrameMessage(ErrorReply({id, kErrorFailed, "a reply of the host was over the browsers' limit of " +
                                                            std::to_string(kMaxOutgoingMessage) + " bytes"})));
}

}  // namespace vorlane
