// The native messaging host's reader: what the browser's pipe delivers, read
// in pieces, framed, parsed and answered by the session.
//
// Input: one byte for the pipe's piece size, one for whether the machine has
// an AllowedHosts policy (listing gw.example), then the pipe's bytes.
// Checks that the same bytes read in one piece give the same messages, that
// every message handled gets exactly one result or error (the last reply of
// its call), that a member runs only for a call that reads and whose origin
// the policy allows, and that every reply is well-framed UTF-8 JSON within
// the browsers' limit.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bridge/bridge_session.h"
#include "bridge/message_framing.h"
#include "fuzz_input.h"

namespace vorlane::fuzz {
namespace {

using nlohmann::json;

struct PieceSource final : ByteSource {
  PieceSource(std::string_view bytes, std::size_t piece) : bytes(bytes), piece(piece) {}
  std::size_t Read(char* buffer, std::size_t capacity) override {
    std::size_t n = std::min({capacity, piece, bytes.size() - at});
    std::copy_n(bytes.data() + at, n, buffer);
    at += n;
    return n;
  }
  std::string_view bytes;
  std::size_t piece;
  std::size_t at = 0;
};

struct Policy final : AllowListPolicy {
  bool set = false;
  std::optional<std::vector<std::u16string>> AllowedHosts() override {
    if (!set) return std::nullopt;
    return std::vector<std::u16string>{u"gw.example"};
  }
};

struct Written final : ByteSink {
  std::string bytes;
  void Write(const std::string& more) override { bytes += more; }
};

// Members that touch the page as the core does: read its texts, store a
// cookie made of them and navigate.
struct Members final : BridgeMembers {
  int runs = 0;
  void TakeProperties(const BridgeProperties&) override {}
  bool Run(Page& page, CookieStore& cookies, std::uint16_t type) override {
    ++runs;
    cookies.SetCookie(page.Href().value_or(u""), page.Cookie().value_or(u"") + u"; path=/");
    page.Assign(page.DocumentUrl().value_or(u""));
    return type % 2 == 0;
  }
  bool RunCmd(const std::u16string& command, bool) override { return ++runs, command.size() % 2 == 0; }
  void Close(std::int16_t) override { ++runs; }
  bool ResetUrl() override { return ++runs, false; }
  void GetPCHardInfo(Page& page, CookieStore& cookies) override {
    ++runs;
    cookies.SetCookie(u"https://" + page.Host().value_or(u"") + u"/", u"MAC_Addr=" + page.Hostname().value_or(u""));
    page.Replace(page.Protocol().value_or(u"") + page.Port().value_or(u""));
  }
};

std::vector<IncomingMessage> ReadAll(std::string_view bytes, std::size_t piece) {
  PieceSource source(bytes, piece);
  MessageReader reader(source);
  std::vector<IncomingMessage> messages;
  for (;;) {
    messages.push_back(reader.Next());
    auto kind = messages.back().kind;
    if (kind == IncomingMessage::Kind::kClosed || kind == IncomingMessage::Kind::kCutShort ||
        kind == IncomingMessage::Kind::kTooLong) {
      return messages;
    }
  }
}

std::vector<json> Replies(const std::string& bytes) {
  std::vector<json> replies;
  std::size_t at = 0;
  while (at < bytes.size()) {
    Require(at + 4 <= bytes.size(), "replies are whole frames");
    std::uint32_t length = static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8 |
                           static_cast<unsigned char>(bytes[at + 2]) << 16 |
                           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    Require(length > 0 && length <= kMaxOutgoingMessage && at + 4 + length <= bytes.size(),
            "a reply's length is within the browsers' limit and the bytes written");
    json reply = json::parse(bytes.substr(at + 4, length), nullptr, false);
    Require(!reply.is_discarded() && reply.is_object(), "a reply is a JSON object in UTF-8",
            Shown(std::string_view(bytes).substr(at + 4, length)));
    replies.push_back(std::move(reply));
    at += 4 + length;
  }
  return replies;
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  if (size < 2) return 0;
  std::size_t piece = data[0] % 64 + 1;
  std::string_view pipe(reinterpret_cast<const char*>(data + 2), size - 2);

  std::vector<IncomingMessage> pieces = ReadAll(pipe, piece);
  std::vector<IncomingMessage> whole = ReadAll(pipe, pipe.size() + 1);
  Require(pieces.size() == whole.size(), "the pipe's pieces do not change the messages");
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    Require(pieces[i].kind == whole[i].kind && pieces[i].text == whole[i].text && pieces[i].length == whole[i].length,
            "the pipe's pieces do not change the messages");
    Require(pieces[i].kind != IncomingMessage::Kind::kMessage || pieces[i].text.size() <= kMaxIncomingMessage,
            "no message over the limit is read");
  }

  Policy policy;
  policy.set = data[1] & 1;
  Members members;
  Written out;
  BridgeSession session(members, policy, out);
  for (const IncomingMessage& message : pieces) {
    int runsBefore = members.runs;
    std::size_t written = out.bytes.size();
    bool goesOn = session.Handle(message);
    std::vector<json> replies = Replies(out.bytes.substr(written));
    bool answered = message.kind == IncomingMessage::Kind::kMessage || message.kind == IncomingMessage::Kind::kEmpty ||
                    message.kind == IncomingMessage::Kind::kTooLong;
    Require(goesOn == (answered && message.kind != IncomingMessage::Kind::kTooLong),
            "the host ends on a closed pipe or a message over the limit, and only then");
    if (!answered) {
      Require(replies.empty(), "a closed pipe is answered by nothing");
      continue;
    }
    Require(!replies.empty(), "every message gets an answer");
    const json& last = replies.back();
    Require(last.contains("result") != last.contains("error"), "the last reply is one result or one error",
            last.dump());
    for (std::size_t i = 0; i + 1 < replies.size(); ++i) {
      Require(replies[i].contains("action") || replies[i].contains("error"),
              "only page actions (or an error in place of one over the limit) come before a call's result",
              replies[i].dump());
      Require(replies[i]["id"] == last["id"], "a call's page actions carry its id");
    }
    bool ran = members.runs > runsBefore;
    Require(ran == last.contains("result"), "a member runs exactly when a result comes back", last.dump());
    if (message.kind == IncomingMessage::Kind::kMessage && !json::accept(message.text)) {
      Require(last["error"]["code"] == "bad-json", "text that is not JSON is answered bad-json");
    }
    if (ran && policy.set) {
      json call = json::parse(message.text);
      std::string origin = call["origin"];
      std::string host = origin.substr(origin.find("://") + 3);
      host = host.substr(0, host.find_first_of("/?#\\"));
      if (std::size_t at = host.rfind('@'); at != std::string::npos) host.erase(0, at + 1);
      host = host.substr(0, host.find(':'));
      std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
      if (!host.empty() && host.back() == '.') host.pop_back();
      Require(host == "gw.example", "under the policy only its host's calls run", origin);
    }
  }
  return 0;
}
