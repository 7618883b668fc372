#include "object_params.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace vorlane::host {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// &amp; &lt; &gt; &quot; &apos; &#NN; &#xNN;; anything else stays as written.
std::string Decode(const std::string& text) {
  static const std::map<std::string, char> named = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t semicolon = text[i] == '&' ? text.find(';', i) : std::string::npos;
    if (semicolon != std::string::npos && semicolon - i <= 10) {
      std::string name = text.substr(i + 1, semicolon - i - 1);
      if (auto found = named.find(name); found != named.end()) {
        out += found->second;
        i = semicolon;
        continue;
      }
      if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        std::string digits = name.substr(hex ? 2 : 1);
        char* end = nullptr;
        unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (!digits.empty() && *end == '\0' && code > 0 && code <= 0x10FFFF) {
          AppendUtf8(out, code);
          i = semicolon;
          continue;
        }
      }
    }
    out += text[i];
  }
  return out;
}

// The attributes of the tag whose name ends at `at`, up to its '>'; `at` is
// left after the '>'.
std::map<std::string, std::string> Attributes(const std::string& html, std::size_t& at) {
  std::map<std::string, std::string> attributes;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/'; };
  while (at < html.size()) {
    while (at < html.size() && blank(html[at])) ++at;
    if (at >= html.size() || html[at] == '>') break;
    std::size_t nameStart = at;
    while (at < html.size() && !blank(html[at]) && html[at] != '=' && html[at] != '>') ++at;
    std::string name = Lower(html.substr(nameStart, at - nameStart));
    std::string value;
    if (at < html.size() && html[at] == '=') {
      ++at;
      if (at < html.size() && (html[at] == '"' || html[at] == '\'')) {
        char quote = html[at++];
        std::size_t close = html.find(quote, at);
        if (close == std::string::npos) close = html.size();
        value = html.substr(at, close - at);
        at = std::min(close + 1, html.size());
      } else {
        std::size_t valueStart = at;
        while (at < html.size() && !blank(html[at]) && html[at] != '>') ++at;
        value = html.substr(valueStart, at - valueStart);
      }
    }
    attributes.emplace(name, Decode(value));
  }
  if (at < html.size()) ++at;
  return attributes;
}

// The position after "<name" (any case, followed by a blank, '/' or '>') at
// or after `from`; npos when there is none before `limit`.
std::size_t FindTag(const std::string& lowered, const std::string& name, std::size_t from, std::size_t limit) {
  std::string open = "<" + name;
  for (std::size_t at = lowered.find(open, from); at != std::string::npos && at < limit;
       at = lowered.find(open, at + 1)) {
    std::size_t end = at + open.size();
    if (end >= lowered.size()) return std::string::npos;
    char next = lowered[end];
    if (next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '/' || next == '>') return end;
  }
  return std::string::npos;
}

}  // namespace

std::optional<ObjectParams> ReadObjectParams(const std::string& html, const std::string& clsid) {
  const std::string lowered = Lower(html);
  const std::string wanted = "clsid:" + Lower(clsid);
  std::size_t at = 0;
  while ((at = FindTag(lowered, "object", at, std::string::npos)) != std::string::npos) {
    std::map<std::string, std::string> object = Attributes(html, at);
    std::size_t end = lowered.find("</object", at);
    if (end == std::string::npos) end = html.size();
    if (Lower(object["classid"]) != wanted) continue;
    ObjectParams params;
    std::size_t param = at;
    while ((param = FindTag(lowered, "param", param, end)) != std::string::npos) {
      std::map<std::string, std::string> attributes = Attributes(html, param);
      if (attributes.count("name")) params.emplace_back(attributes["name"], attributes["value"]);
    }
    return params;
  }
  return std::nullopt;
}

}  // namespace vorlane::host
