#include "step.h"

#include <cerrno>
#include <cstdlib>

namespace vorlane::host {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at word[at] == '"'; leaves `at` after the closing quote.
bool ReadQuoted(const std::string& word, size_t& at, std::string* text, std::string* error) {
  for (++at; at < word.size(); ++at) {
    char c = word[at];
    if (c == '"') {
      ++at;
      return true;
    }
    if (c != '\\') {
      *text += c;
      continue;
    }
    if (++at == word.size()) break;
    switch (word[at]) {
      case 'n': *text += '\n'; break;
      case 'r': *text += '\r'; break;
      case 't': *text += '\t'; break;
      case 'x': {
        int high = at + 1 < word.size() ? HexDigit(word[at + 1]) : -1;
        int low = at + 2 < word.size() ? HexDigit(word[at + 2]) : -1;
        if (high < 0 || low < 0) {
          *error = "\\x needs two hex digits";
          return false;
        }
        *text += static_cast<char>(high * 16 + low);
        at += 2;
        break;
      }
      default: *text += word[at];  // \" and \\ and anything else stand for themselves
    }
  }
  *error = "unterminated quote";
  return false;
}

// Splits on ':' outside quotes. `quoted` tells which parts were quoted.
bool Split(const std::string& word, std::vector<std::string>* parts, std::vector<bool>* quoted,
           std::string* error) {
  parts->assign(1, "");
  quoted->assign(1, false);
  for (size_t at = 0; at < word.size();) {
    if (word[at] == ':') {
      parts->emplace_back();
      quoted->push_back(false);
      ++at;
    } else if (word[at] == '"' && parts->back().empty() && !quoted->back()) {
      quoted->back() = true;
      if (!ReadQuoted(word, at, &parts->back(), error)) return false;
      if (at < word.size() && word[at] != ':') {
        *error = "text after a closing quote";
        return false;
      }
    } else {
      parts->back() += word[at++];
    }
  }
  return true;
}

bool ParseInteger(const std::string& text, long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && errno == 0;
}

StepArgument ParseArgument(const std::string& part, bool quoted) {
  StepArgument arg;
  if (quoted) {
    arg.text = part;
  } else if (part == "window") {
    arg.kind = StepArgument::Kind::kWindow;
  } else if (part == "location") {
    arg.kind = StepArgument::Kind::kLocation;
  } else if (part == "document") {
    arg.kind = StepArgument::Kind::kDocument;
  } else if (part == "true" || part == "false") {
    arg.kind = StepArgument::Kind::kBoolean;
    arg.boolean = part == "true";
  } else if (ParseInteger(part, &arg.integer)) {
    arg.kind = StepArgument::Kind::kInteger;
  } else {
    arg.text = part;
  }
  return arg;
}

// The rest of the word after "notify:" or "cookies:": one quoted text, or the bytes as they stand.
bool ParseRest(const std::string& rest, std::string* text, std::string* error) {
  if (rest.empty() || rest[0] != '"') {
    *text = rest;
    return true;
  }
  size_t at = 0;
  if (!ReadQuoted(rest, at, text, error)) return false;
  if (at != rest.size()) {
    *error = "text after a closing quote";
    return false;
  }
  return true;
}

}  // namespace

std::optional<Step> ParseStep(const std::string& word, std::string* error) {
  Step step;
  size_t colon = word.find(':');
  std::string verb = word.substr(0, colon);
  std::string rest = colon == std::string::npos ? "" : word.substr(colon + 1);
  bool has_rest = colon != std::string::npos;

  if (verb == "call") {
    std::vector<std::string> parts;
    std::vector<bool> quoted;
    if (!Split(rest, &parts, &quoted, error)) return std::nullopt;
    if (!has_rest || parts[0].empty() || quoted[0]) {
      *error = "call needs a method name";
      return std::nullopt;
    }
    step.kind = Step::Kind::kCall;
    step.name = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) step.args.push_back(ParseArgument(parts[i], quoted[i]));
  } else if (verb == "wait") {
    long milliseconds = 0;
    if (!ParseInteger(rest, &milliseconds) || milliseconds < 0) {
      *error = "wait needs a number of milliseconds";
      return std::nullopt;
    }
    step.kind = Step::Kind::kWait;
    step.milliseconds = static_cast<unsigned long>(milliseconds);
  } else if (verb == "notify") {
    if (!has_rest) {
      *error = "notify needs a text";
      return std::nullopt;
    }
    step.kind = Step::Kind::kNotify;
    if (!ParseRest(rest, &step.text, error)) return std::nullopt;
  } else if (verb == "cookies") {
    step.kind = Step::Kind::kCookies;
    if (!ParseRest(rest, &step.text, error)) return std::nullopt;
  } else if ((verb == "save" || verb == "release") && !has_rest) {
    step.kind = verb == "save" ? Step::Kind::kSave : Step::Kind::kRelease;
  } else {
    *error = "unknown step";
    return std::nullopt;
  }
  return step;
}

}  // namespace vorlane::host
