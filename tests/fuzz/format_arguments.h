#pragma once
// printf-style formats from fuzz input, with arguments of the types their
// directives take, and the C library's narrow snprintf as the reference for
// what a format with such arguments gives.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"

namespace vorlane::fuzz {

enum class ArgumentKind { Int, Long, LongLong, Size, Character, Text };

struct Directive {
  std::string flags;
  int width = 0;
  int precision = -1;  // none
  bool half = false;
  ArgumentKind kind = ArgumentKind::Int;
  char conversion = 0;
};

struct FormatPlan {
  std::vector<Directive> directives;
  // The format holds an unknown or unfinished directive: it must be refused.
  bool refused = false;
};

// The directives of a format, read as the system's formatter documents
// them: flags "-0+ ", width, "." precision, "l", "ll", "h", "z", then one of
// d i u x X c s; "%%" is a percent sign.
inline FormatPlan PlanFormat(const std::u16string& format) {
  FormatPlan plan;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != u'%') continue;
    if (++i < format.size() && format[i] == u'%') continue;
    Directive d;
    for (; i < format.size() && std::u16string_view(u"-0+ ").find(format[i]) != std::u16string_view::npos; ++i) {
      d.flags.push_back(static_cast<char>(format[i]));
    }
    auto digits = [&](int& value) {
      value = 0;
      for (; i < format.size() && format[i] >= u'0' && format[i] <= u'9'; ++i) {
        if (value < 100000) value = value * 10 + (format[i] - u'0');
      }
    };
    digits(d.width);
    if (i < format.size() && format[i] == u'.') {
      ++i;
      digits(d.precision);
    }
    int longs = 0;
    bool size = false;
    for (; i < format.size(); ++i) {
      if (format[i] == u'l') ++longs;
      else if (format[i] == u'h') d.half = true;
      else if (format[i] == u'z') size = true;
      else break;
    }
    if (i >= format.size()) {
      plan.refused = true;
      return plan;
    }
    d.conversion = static_cast<char>(format[i]);
    switch (format[i]) {
      case u'd': case u'i': case u'u': case u'x': case u'X':
        d.kind = longs >= 2 ? ArgumentKind::LongLong
                 : longs == 1 ? ArgumentKind::Long
                 : size ? ArgumentKind::Size
                        : ArgumentKind::Int;
        break;
      case u'c': d.kind = ArgumentKind::Character; break;
      case u's': d.kind = ArgumentKind::Text; break;
      default:
        plan.refused = true;
        return plan;
    }
    plan.directives.push_back(d);
  }
  return plan;
}

// One argument's value: its number (for text directives: the text).
struct Argument {
  long long number = 0;
  std::u16string text;
};

constexpr std::size_t kMaxArguments = 4;

// Calls call(arguments...) with each argument passed as the type its
// directive takes. No more than kMaxArguments.
template <typename Call, typename... Passed>
int CallWithArguments(Call&& call, const std::vector<Directive>& directives, const std::vector<Argument>& values,
                      std::size_t next, Passed... passed) {
  if (next == directives.size()) return call(passed...);
  if constexpr (sizeof...(Passed) < kMaxArguments) {
    const Argument& value = values[next];
    switch (directives[next].kind) {
      case ArgumentKind::Int:
        return CallWithArguments(call, directives, values, next + 1, passed..., static_cast<int>(value.number));
      case ArgumentKind::Long:
        return CallWithArguments(call, directives, values, next + 1, passed..., static_cast<long>(value.number));
      case ArgumentKind::LongLong:
        return CallWithArguments(call, directives, values, next + 1, passed..., value.number);
      case ArgumentKind::Size:
        return CallWithArguments(call, directives, values, next + 1, passed...,
                                 static_cast<std::size_t>(value.number));
      case ArgumentKind::Character:
        return CallWithArguments(call, directives, values, next + 1, passed..., static_cast<int>(value.number));
      case ArgumentKind::Text:
        return CallWithArguments(call, directives, values, next + 1, passed..., value.text.c_str());
    }
  }
  Broken("at most four arguments are fed", std::to_string(directives.size()));
}

// The argument values from the input's fields, one per directive: the text
// itself for %s, a number otherwise.
inline std::vector<Argument> ArgumentsFrom(const std::vector<Directive>& directives,
                                           const std::vector<std::optional<std::string>>& fields,
                                           std::size_t first) {
  std::vector<Argument> values;
  for (std::size_t i = 0; i < directives.size(); ++i) {
    const std::optional<std::string>& field = first + i < fields.size() ? fields[first + i] : std::nullopt;
    Argument value;
    if (directives[i].kind == ArgumentKind::Text) value.text = field ? Wide(*field) : std::u16string();
    else value.number = Number(field);
    values.push_back(value);
  }
  return values;
}

// What the format gives with these values, by the C library's snprintf, or
// nothing when the C library is no reference for it: a text or character
// outside ASCII (its narrow form differs), or a width or precision that the
// formatter bounds (widths and precisions of 100000 and more; more than 40
// digits of integer precision).
inline std::optional<std::u16string> ReferenceText(const std::u16string& format, const FormatPlan& plan,
                                                   const std::vector<Argument>& values) {
  std::u16string out;
  std::size_t directive = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != u'%') {
      out.push_back(format[i]);
      continue;
    }
    if (format[i + 1] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    // Skip the directive's text; the plan has read it.
    ++i;
    while (std::u16string_view(u"-0+ .0123456789lhz").find(format[i]) != std::u16string_view::npos) ++i;
    const Directive& d = plan.directives[directive];
    const Argument& value = values[directive++];
    if (d.width >= 100000 || d.precision >= 100000) return std::nullopt;
    std::string narrowFormat = "%" + d.flags + std::to_string(d.width);
    if (d.precision >= 0) narrowFormat += "." + std::to_string(d.precision);
    std::string text;
    auto print = [&](auto... arguments) {
      int n = std::snprintf(nullptr, 0, narrowFormat.c_str(), arguments...);
      text.assign(static_cast<std::size_t>(n), '\0');
      std::snprintf(text.data(), text.size() + 1, narrowFormat.c_str(), arguments...);
    };
    switch (d.kind) {
      case ArgumentKind::Character: {
        auto c = static_cast<char16_t>(value.number);
        if (c >= 0x80) return std::nullopt;
        narrowFormat += "c";
        print(static_cast<int>(c));
        break;
      }
      case ArgumentKind::Text: {
        std::string narrow;
        for (char16_t c : value.text) {
          if (c == 0 || c >= 0x80) return std::nullopt;
          narrow.push_back(static_cast<char>(c));
        }
        narrowFormat += "s";
        print(narrow.c_str());
        break;
      }
      default: {
        if (d.precision > 40) return std::nullopt;
        bool isSigned = d.conversion == 'd' || d.conversion == 'i';
        long long v = value.number;
        if (d.kind == ArgumentKind::Int) {
          if (isSigned) v = static_cast<int>(v);
          else v = static_cast<unsigned>(v);
        }
        if (d.half) {
          if (isSigned) v = static_cast<short>(v);
          else v = static_cast<unsigned short>(v);
        }
        narrowFormat += std::string("ll") + (isSigned ? 'd' : d.conversion);
        if (isSigned) print(v);
        else print(static_cast<unsigned long long>(v));
        break;
      }
    }
    for (char c : text) out.push_back(static_cast<unsigned char>(c));
  }
  return out;
}

}  // namespace vorlane::fuzz
