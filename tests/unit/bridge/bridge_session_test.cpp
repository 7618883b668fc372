#include "bridge/bridge_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <nlohmann/json.hpp>

namespace vorlane {
namespace {

using nlohmann::json;

struct FakePolicy final : AllowListPolicy {
  std::optional<std::vector<std::u16string>> hosts;
  std::optional<std::vector<std::u16string>> AllowedHosts() override { return hosts; }
};

struct Written final : ByteSink {
  std::string bytes;
  void Write(const std::string& more) override { bytes += more; }
  // Every message written so far, parsed, and forgotten.
  std::vector<json> Take() {
    std::vector<json> messages;
    std::size_t at = 0;
    while (at + 4 <= bytes.size()) {
      std::uint32_t length = static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8 |
                             static_cast<unsigned char>(bytes[at + 2]) << 16 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
      messages.push_back(json::parse(bytes.substr(at + 4, length)));
      at += 4 + length;
    }
    EXPECT_EQ(at, bytes.size());
    bytes.clear();
    return messages;
  }
};

// Records each member as it is called; `during` runs inside Run and
// GetPCHardInfo with the page and cookie store the call was given.
struct FakeMembers final : BridgeMembers {
  std::vector<std::string> calls;
  BridgeProperties properties;
  std::function<void(Page&, CookieStore&)> during;
  bool answer = true;
  std::optional<std::u16string> seenHref, seenCookie, seenHostname;

  void TakeProperties(const BridgeProperties& p) override { properties = p; }
  bool Run(Page& page, CookieStore& cookies, std::uint16_t type) override {
    calls.push_back("Run " + std::to_string(type));
    seenHref = page.Href();
    seenCookie = page.Cookie();
    seenHostname = page.Hostname();
    if (during) during(page, cookies);
    return answer;
  }
  bool RunCmd(const std::u16string& command, bool wait) override {
    calls.push_back("RunCmd " + std::string(command.begin(), command.end()) + (wait ? " wait" : ""));
    return answer;
  }
  void Close(std::int16_t flag) override { calls.push_back("Close " + std::to_string(flag)); }
  bool ResetUrl() override {
    calls.push_back("ResetUrl");
    return answer;
  }
  void GetPCHardInfo(Page& page, CookieStore& cookies) override {
    calls.push_back("GetPCHardInfo");
    if (during) during(page, cookies);
  }
};

struct Session : ::testing::Test {
  FakeMembers members;
  FakePolicy policy;
  Written out;
  BridgeSession session{members, policy, out};

  static json Call(int id, const char* member, json args) {
    return {{"id", id},
            {"member", member},
            {"args", std::move(args)},
            {"origin", "https://gw.example"},
            {"page",
             {{"href", "https://gw.example/portal/index.html"},
              {"protocol", "https:"},
              {"host", "gw.example"},
              {"hostname", "gw.example"},
              {"port", ""},
              {"url", "https://gw.example/portal/index.html"},
              {"cookie", "Varnex_SSLID=0123456789abcdef0123456789abcdef"}}},
            {"params", {{"ip", "10.0.0.1"}, {"port", "443"}, {"username", "u"}, {"type", "0"}}}};
  }
  bool Send(const std::string& text) {
    return session.Handle({IncomingMessage::Kind::kMessage, static_cast<std::uint32_t>(text.size()), text});
  }
  bool Send(const json& message) { return Send(message.dump()); }
  // The one reply expected, an error with this code.
  void ExpectOneError(const char* code, std::optional<int> id, const std::string& words = "") {
    std::vector<json> replies = out.Take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0]["error"]["code"], code) << replies[0].dump();
    if (id) EXPECT_EQ(replies[0]["id"], *id);
    else EXPECT_FALSE(replies[0].contains("id")) << replies[0].dump();
    EXPECT_NE(replies[0]["error"]["message"].get<std::string>().find(words), std::string::npos) << replies[0].dump();
  }
};

TEST_F(Session, EachMemberRunsWithItsArgumentsAndAnswersItsResult) {
  EXPECT_TRUE(Send(Call(1, "Run", json::array())));
  EXPECT_TRUE(Send(Call(2, "RunCmd", {"cmd.exe /c exit 0", true})));
  EXPECT_TRUE(Send(Call(3, "RunCmd", {"notepad.exe", 0})));
  EXPECT_TRUE(Send(Call(4, "Close", {1})));
  members.answer = false;
  EXPECT_TRUE(Send(Call(5, "ResetUrl", json::array())));
  EXPECT_TRUE(Send(Call(6, "GetPCHardInfo", json::array())));
  EXPECT_EQ(members.calls, (std::vector<std::string>{"Run 0", "RunCmd cmd.exe /c exit 0 wait", "RunCmd notepad.exe",
                                                     "Close 1", "ResetUrl", "GetPCHardInfo"}));
  std::vector<json> replies = out.Take();
  ASSERT_EQ(replies.size(), 6u);
  EXPECT_EQ(replies[0], json({{"id", 1}, {"result", true}}));
  EXPECT_EQ(replies[1], json({{"id", 2}, {"result", true}}));
  EXPECT_EQ(replies[3], json({{"id", 4}, {"result", nullptr}}));
  EXPECT_EQ(replies[4], json({{"id", 5}, {"result", false}}));
  EXPECT_EQ(replies[5], json({{"id", 6}, {"result", nullptr}}));
  EXPECT_EQ(members.seenHref, u"https://gw.example/portal/index.html");
  EXPECT_EQ(members.seenCookie, u"Varnex_SSLID=0123456789abcdef0123456789abcdef");
}

TEST_F(Session, PageFieldsLeftOutAreNotDeliveredToTheCore) {
  json call = Call(1, "Run", json::array());
  call["page"].erase("cookie");
  call["page"]["hostname"] = nullptr;
  Send(call);
  EXPECT_FALSE(members.seenCookie.has_value());
  EXPECT_FALSE(members.seenHostname.has_value());
  EXPECT_EQ(members.seenHref, u"https://gw.example/portal/index.html");
}

// As <param> values: a parameter that does not convert leaves the value the
// host holds; each call's type reaches Run.
TEST_F(Session, ParametersPersistAcrossCallsAndConvertAsParamsDo) {
  json call = Call(1, "Run", json::array());
  call["params"] = {{"type", "2"}, {"port", 8443}, {"ip", "10.0.0.9"}};
  Send(call);
  call["params"] = {{"type", "abc"}, {"port", "x"}};
  Send(call);
  call["params"] = {{"type", " -1 "}};
  Send(call);
  call["params"] = {{"type", 70000}};
  Send(call);
  call.erase("params");
  Send(call);
  EXPECT_EQ(members.calls, (std::vector<std::string>{"Run 2", "Run 2", "Run 65535", "Run 65535", "Run 65535"}));
  EXPECT_EQ(members.properties.port, 8443);
  EXPECT_EQ(members.properties.ip, u"10.0.0.9");
  EXPECT_EQ(out.Take().size(), 5u);
}

TEST_F(Session, PageActionsGoOutInOrderBeforeTheResultAndEventsWhereTheyHappen) {
  members.during = [this](Page& page, CookieStore& cookies) {
    cookies.SetCookie(u"https://gw.example/", u"MAC_Addr=02:00:4C:4F:4F:50; path=/;expires=Fri, 01-Jan-2027 00:00:01 GMT");
    session.SendEvent(u"Connected \u4E2D");
    page.Replace(u"https://gw.example/verify");
    page.Assign(u"https://gw.example/next");
  };
  Send(Call(9, "GetPCHardInfo", json::array()));
  std::vector<json> replies = out.Take();
  ASSERT_EQ(replies.size(), 5u);
  EXPECT_EQ(replies[0], json({{"id", 9}, {"action", "setCookie"}, {"url", "https://gw.example/"}, {"name", "MAC_Addr"},
                              {"value", "02:00:4C:4F:4F:50"}, {"path", "/"}, {"expires", 1798761601}}));
  EXPECT_EQ(replies[1], json({{"event", "OnClientMessage"}, {"text", "Connected \xE4\xB8\xAD"}}));
  EXPECT_EQ(replies[2], json({{"id", 9}, {"action", "navigate"}, {"how", "replace"}, {"url", "https://gw.example/verify"}}));
  EXPECT_EQ(replies[3], json({{"id", 9}, {"action", "navigate"}, {"how", "assign"}, {"url", "https://gw.example/next"}}));
  EXPECT_EQ(replies[4], json({{"id", 9}, {"result", nullptr}}));
}

TEST_F(Session, UnreadableMessagesGetBadJsonAndTheHostReadsOn) {
  EXPECT_TRUE(session.Handle({IncomingMessage::Kind::kEmpty, 0, ""}));
  ExpectOneError("bad-json", std::nullopt, "zero");
  for (const char* text : {"{", "{\"id\":1,", "nul", "{\"id\":1}x", "\"\xFF\"", "{\"id\":1,\"member\":\"Run\xC0\"}"}) {
    EXPECT_TRUE(Send(std::string(text)));
    ExpectOneError("bad-json", std::nullopt);
  }
  EXPECT_TRUE(members.calls.empty());
}

TEST_F(Session, MessageOverTheLimitIsRefusedAndEndsTheHost) {
  EXPECT_FALSE(session.Handle({IncomingMessage::Kind::kTooLong, kMaxIncomingMessage + 1, ""}));
  ExpectOneError("too-long", std::nullopt, "1048577 bytes is over the host's limit of 1048576");
  EXPECT_FALSE(session.Handle({IncomingMessage::Kind::kClosed, 0, ""}));
  EXPECT_FALSE(session.Handle({IncomingMessage::Kind::kCutShort, 0, ""}));
  EXPECT_TRUE(out.Take().empty()) << "a closed pipe is answered by nothing";
}

TEST_F(Session, MalformedCallsAreRefusedNamingTheFieldAndRunNothing) {
  struct Case {
    std::function<void(json&)> spoil;
    std::optional<int> id;
    std::string words;
  };
  const Case cases[] = {
      {[](json& c) { c["member"] = "AboutBox"; }, 5, "unknown member \"AboutBox\""},
      {[](json& c) { c["member"] = "run"; }, 5, "unknown member"},
      {[](json& c) { c.erase("member"); }, 5, "\"member\""},
      {[](json& c) { c["args"] = {1}; }, 5, "Run takes 0"},
      {[](json& c) { c.erase("args"); }, 5, "\"args\""},
      {[](json& c) { c["member"] = "RunCmd"; c["args"] = {1, true}; }, 5, "first argument"},
      {[](json& c) { c["member"] = "RunCmd"; c["args"] = {"x", "yes"}; }, 5, "second argument"},
      {[](json& c) { c["member"] = "RunCmd"; c["args"] = {"x"}; }, 5, "RunCmd takes 2"},
      {[](json& c) { c["member"] = "Close"; c["args"] = {"1"}; }, 5, "Close's argument"},
      {[](json& c) { c["member"] = "Close"; c["args"] = {1.5}; }, 5, "Close's argument"},
      {[](json& c) { c["member"] = "Close"; c["args"] = {40000}; }, 5, "Close's argument"},
      {[](json& c) { c.erase("origin"); }, 5, "\"origin\" is missing"},
      {[](json& c) { c["origin"] = 1; }, 5, "\"origin\" must be a string"},
      {[](json& c) { c["page"] = "https://gw.example/"; }, 5, "\"page\""},
      {[](json& c) { c["page"]["cookie"] = 1; }, 5, "\"page.cookie\" must be a string"},
      {[](json& c) { c["params"] = json::array(); }, 5, "\"params\""},
      {[](json& c) { c["id"] = 0; }, std::nullopt, "\"id\""},
      {[](json& c) { c["id"] = -5; }, std::nullopt, "\"id\""},
      {[](json& c) { c["id"] = "5"; }, std::nullopt, "\"id\""},
      {[](json& c) { c["id"] = 9007199254740992ULL; }, std::nullopt, "\"id\""},
      {[](json& c) { c = json::array({c}); }, std::nullopt, "JSON object"},
  };
  for (const Case& c : cases) {
    json call = Call(5, "Run", json::array());
    c.spoil(call);
    SCOPED_TRACE(call.dump());
    EXPECT_TRUE(Send(call));
    ExpectOneError("bad-request", c.id, c.words);
  }
  EXPECT_TRUE(members.calls.empty());
}

TEST_F(Session, FieldsTheSchemaDoesNotNameAreIgnored) {
  json call = Call(3, "ResetUrl", json::array());
  call["tab"] = 17;
  call["page"]["title"] = "Portal";
  Send(call);
  EXPECT_EQ(members.calls, std::vector<std::string>{"ResetUrl"});
}

TEST_F(Session, AllowedHostsPolicyAndThePagesOwnOriginDecideBeforeAnythingRuns) {
  policy.hosts = std::vector<std::u16string>{u"gw.example"};
  Send(Call(1, "Run", json::array()));
  EXPECT_EQ(members.calls.size(), 1u);
  out.Take();

  json elsewhere = Call(2, "RunCmd", {"calc.exe", false});
  elsewhere["origin"] = "https://evil.example";
  elsewhere["page"] = {{"href", "https://evil.example/"}, {"url", "https://evil.example/"},
                       {"host", "evil.example"}, {"hostname", "evil.example"}, {"port", ""}};
  Send(elsewhere);
  ExpectOneError("refused", 2, "AllowedHosts");

  json forged = Call(3, "Run", json::array());
  forged["page"]["href"] = "https://evil.example/portal/";
  Send(forged);
  ExpectOneError("refused", 3, "not on its origin");

  policy.hosts.reset();
  Send(elsewhere);
  EXPECT_EQ(members.calls.back(), "RunCmd calc.exe") << "without a policy the extension's list alone decides";
}

TEST_F(Session, MemberThatFailsAnswersFailedAndTheHostGoesOn) {
  members.during = [](Page&, CookieStore&) { throw std::bad_alloc(); };
  EXPECT_TRUE(Send(Call(4, "Run", json::array())));
  ExpectOneError("failed", 4, "memory");
  members.during = nullptr;
  Send(Call(5, "Run", json::array()));
  EXPECT_EQ(out.Take().at(0)["result"], true);
}

TEST_F(Session, ReplyOverTheBrowsersLimitBecomesAnErrorForTheCall) {
  members.during = [](Page& page, CookieStore&) { page.Assign(u"https://gw.example/" + std::u16string(kMaxOutgoingMessage, u'a')); };
  Send(Call(8, "Run", json::array()));
  std::vector<json> replies = out.Take();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0]["error"]["code"], "failed");
  EXPECT_EQ(replies[0]["id"], 8);
  EXPECT_EQ(replies[1]["result"], true);
}

}  // namespace
}  // namespace vorlane
