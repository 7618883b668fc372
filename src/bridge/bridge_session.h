#pragma once
// One page connection: each message of the extension read, checked and run,
// its page actions and result written back, and the relay's events sent in
// between.
#include <cstdint>
#include <string>

#include "bridge/bridge_call.h"
#include "bridge/bridge_members.h"
#include "bridge/message_framing.h"
#include "policy/allow_list_ports.h"

namespace vorlane {

// The browser's side of the pipe for the host's messages.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all of `bytes`; a broken pipe loses them (the reader then ends).
  virtual void Write(const std::string& bytes) = 0;
};

class BridgeSession {
 public:
  BridgeSession(BridgeMembers& members, AllowListPolicy& policy, ByteSink& out)
      : members_(members), policy_(policy), out_(out) {}

  // Handles one message as the reader gave it. False when the host must
  // end: the pipe closed, or a message over the limit left it unreadable.
  bool Handle(const IncomingMessage& message);
  // OnClientMessage(text) for the page.
  void SendEvent(const std::u16string& text);

  const BridgeProperties& Properties() const { return properties_; }

 private:
  void RunCall(const BridgeCall& call);
  // Frames and writes one message; one over the browsers' limit is replaced
  // by an error for `id`, which is what the page can still be told.
  void Send(const std::string& text, std::optional<std::uint64_t> id);

  BridgeMembers& members_;
  AllowListPolicy& policy_;
  ByteSink& out_;
  BridgeProperties properties_;
};

}  // namespace vorlane
