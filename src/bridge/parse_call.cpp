#include "bridge/parse_call.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include <nlohmann/json.hpp>

#include "bridge/utf_text.h"

namespace vorlane {
namespace {

using nlohmann::json;

constexpr std::uint64_t kLargestId = (std::uint64_t{1} << 53) - 1;  // what a script number holds exactly

struct MemberName {
  const char* name;
  Member member;
  std::size_t arguments;
};
constexpr MemberName kMembers[] = {
    {"Run", Member::kRun, 0},         {"RunCmd", Member::kRunCmd, 2},
    {"Close", Member::kClose, 1},     {"ResetUrl", Member::kResetUrl, 0},
    {"GetPCHardInfo", Member::kGetPCHardInfo, 0},
};

std::optional<std::uint64_t> ReadId(const json& message) {
  auto it = message.find("id");
  if (it == message.end() || !it->is_number_integer()) return std::nullopt;
  if (it->is_number_unsigned()) {
    auto id = it->get<std::uint64_t>();
    if (id == 0 || id > kLargestId) return std::nullopt;
    return id;
  }
  auto id = it->get<std::int64_t>();
  if (id <= 0 || static_cast<std::uint64_t>(id) > kLargestId) return std::nullopt;
  return static_cast<std::uint64_t>(id);
}

// A whole number of a JSON number, when it is one within [low, high].
std::optional<std::int64_t> WholeNumber(const json& value, std::int64_t low, std::int64_t high) {
  if (value.is_number_unsigned()) {
    auto n = value.get<std::uint64_t>();
    if (n > static_cast<std::uint64_t>(high)) return std::nullopt;
    return static_cast<std::int64_t>(n);
  }
  if (value.is_number_integer()) {
    auto n = value.get<std::int64_t>();
    if (n < low || n > high) return std::nullopt;
    return n;
  }
  if (value.is_number_float()) {
    double d = value.get<double>();
    if (!std::isfinite(d) || d != std::floor(d) || d < static_cast<double>(low) || d > static_cast<double>(high)) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(d);
  }
  return std::nullopt;
}

// A parameter given as a number or as the decimal text of one ("2", " -1 ").
std::optional<std::int64_t> NumberParameter(const json& value, std::int64_t low, std::int64_t high) {
  if (!value.is_string()) return WholeNumber(value, low, high);
  const std::string& text = value.get_ref<const std::string&>();
  std::size_t begin = text.find_first_not_of(' ');
  std::size_t end = text.find_last_not_of(' ');
  if (begin == std::string::npos) return std::nullopt;
  std::string digits = text.substr(begin, end - begin + 1);
  std::size_t first = (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
  if (first == digits.size() || digits.size() - first > 12) return std::nullopt;
  for (std::size_t i = first; i < digits.size(); ++i) {
    if (digits[i] < '0' || digits[i] > '9') return std::nullopt;
  }
  std::int64_t n = std::strtoll(digits.c_str(), nullptr, 10);
  if (n < low || n > high) return std::nullopt;
  return n;
}

class Reader {
 public:
  explicit Reader(std::optional<std::uint64_t> id) : id_(id) {}

  CallError Error(const std::string& message) const { return {id_, kErrorBadRequest, message}; }

  // A string member of `object`; `required` ones must be present.
  bool Text(const json& object, const char* name, const std::string& where, bool required,
            std::optional<std::u16string>& out, std::optional<CallError>& error) const {
    auto it = object.find(name);
    if (it == object.end() || (!required && it->is_null())) {
      if (required) error = Error("\"" + where + name + "\" is missing");
      return !required;
    }
    if (!it->is_string()) {
      error = Error("\"" + where + name + "\" must be a string");
      return false;
    }
    out = Utf16FromUtf8(it->get_ref<const std::string&>());
    return true;
  }

 private:
  std::optional<std::uint64_t> id_;
};

std::optional<CallError> ReadArguments(const Reader& reader, const json& args, const MemberName& member,
                                       BridgeCall& call) {
  if (args.size() != member.arguments) {
    return reader.Error(std::string(member.name) + " takes " + std::to_string(member.arguments) +
                        " argument(s), \"args\" holds " + std::to_string(args.size()));
  }
  if (member.member == Member::kRunCmd) {
    if (!args[0].is_string()) return reader.Error("RunCmd's first argument (the command line) must be a string");
    call.command = Utf16FromUtf8(args[0].get_ref<const std::string&>());
    // A number converts as the control's boolean argument does: nonzero is true.
    if (args[1].is_boolean()) {
      call.wait = args[1].get<bool>();
    } else if (args[1].is_number()) {
      call.wait = args[1].get<double>() != 0;
    } else {
      return reader.Error("RunCmd's second argument (wait until it ends) must be a boolean");
    }
  } else if (member.member == Member::kClose) {
    auto flag = WholeNumber(args[0], std::numeric_limits<std::int16_t>::min(),
                            std::numeric_limits<std::int16_t>::max());
    if (!flag) return reader.Error("Close's argument must be a whole number from -32768 to 32767");
    call.flag = static_cast<std::int16_t>(*flag);
  }
  return std::nullopt;
}

std::optional<CallError> ReadPage(const Reader& reader, const json& page, PageContext& context) {
  static constexpr std::pair<const char*, std::optional<std::u16string> PageContext::*> kFields[] = {
      {"href", &PageContext::href},         {"protocol", &PageContext::protocol},
      {"host", &PageContext::host},         {"hostname", &PageContext::hostname},
      {"port", &PageContext::port},         {"url", &PageContext::url},
      {"cookie", &PageContext::cookie},
  };
  std::optional<CallError> error;
  for (const auto& [name, field] : kFields) {
    if (!reader.Text(page, name, "page.", false, context.*field, error)) return error;
  }
  return std::nullopt;
}

// Parameters convert as <param> values do; one that does not is left out.
void ReadParams(const json& params, ObjectParams& out) {
  for (const char* name : {"ip", "username"}) {
    auto it = params.find(name);
    if (it == params.end()) continue;
    std::optional<std::u16string> text;
    if (it->is_string()) text = Utf16FromUtf8(it->get_ref<const std::string&>());
    else if (it->is_number()) text = Utf16FromUtf8(it->dump());
    (std::string(name) == "ip" ? out.ip : out.username) = text;
  }
  if (auto it = params.find("port"); it != params.end()) {
    if (auto n = NumberParameter(*it, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max())) {
      out.port = static_cast<std::int32_t>(*n);
    }
  }
  if (auto it = params.find("type"); it != params.end()) {
    if (auto n = NumberParameter(*it, std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max())) {
      out.type = static_cast<std::int16_t>(*n);
    }
  }
}

}  // namespace

std::variant<BridgeCall, CallError> ParseCall(const std::string& text) {
  json message = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (message.is_discarded()) return CallError{std::nullopt, kErrorBadJson, "the message is not JSON in UTF-8"};
  if (!message.is_object()) return CallError{std::nullopt, kErrorBadRequest, "the message must be a JSON object"};

  BridgeCall call;
  std::optional<std::uint64_t> id = ReadId(message);
  Reader reader(id);
  if (!id) return reader.Error("\"id\" must be a whole number from 1 to 2^53-1");
  call.id = *id;

  auto member = message.find("member");
  if (member == message.end() || !member->is_string()) return reader.Error("\"member\" must be a string");
  const MemberName* known = nullptr;
  for (const MemberName& m : kMembers) {
    if (member->get_ref<const std::string&>() == m.name) known = &m;
  }
  if (!known) return reader.Error("unknown member \"" + member->get<std::string>().substr(0, 64) + "\"");
  call.member = known->member;

  auto args = message.find("args");
  if (args == message.end() || !args->is_array()) return reader.Error("\"args\" must be an array");
  if (auto error = ReadArguments(reader, *args, *known, call)) return *error;

  std::optional<std::u16string> origin;
  std::optional<CallError> error;
  if (!reader.Text(message, "origin", "", true, origin, error)) return *error;
  call.origin = *origin;

  auto page = message.find("page");
  if (page == message.end() || !page->is_object()) return reader.Error("\"page\" must be an object");
  if (auto pageError = ReadPage(reader, *page, call.page)) return *pageError;

  auto params = message.find("params");
  if (params != message.end() && !params->is_null()) {
    if (!params->is_object()) return reader.Error("\"params\" must be an object");
    ReadParams(*params, call.params);
  }
  return call;
}

}  // namespace vorlane
