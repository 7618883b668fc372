#include "support/https_origin.h"

#include <vector>

namespace vorlane {
namespace {

constexpr char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }
constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsHexDigit(char16_t c) { return IsDigit(c) || (Lower(c) >= u'a' && Lower(c) <= u'f'); }
constexpr bool IsAsciiNameCharacter(char16_t c) {
  return IsDigit(c) || (Lower(c) >= u'a' && Lower(c) <= u'z') || c == u'-' || c == u'_';
}

// RFC 3492 with the parameters IDNA uses.
constexpr std::uint32_t kBase = 36, kTMin = 1, kTMax = 26, kSkew = 38, kDamp = 700, kInitialBias = 72,
                        kInitialN = 128;

char16_t PunycodeDigit(std::uint32_t d) { return static_cast<char16_t>(d < 26 ? u'a' + d : u'0' + (d - 26)); }

std::uint32_t Adapt(std::uint32_t delta, std::uint32_t points, bool first) {
  delta = first ? delta / kDamp : delta / 2;
  delta += delta / points;
  std::uint32_t k = 0;
  while (delta > ((kBase - kTMin) * kTMax) / 2) {
    delta /= kBase - kTMin;
    k += kBase;
  }
  return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

// Code points of a UTF-16 label; nothing for an unpaired surrogate.
std::optional<std::vector<std::uint32_t>> CodePoints(std::u16string_view label) {
  std::vector<std::uint32_t> points;
  for (std::size_t at = 0; at < label.size(); ++at) {
    char16_t unit = label[at];
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < label.size() && label[at + 1] >= 0xDC00 &&
        label[at + 1] <= 0xDFFF) {
      points.push_back(0x10000 + ((unit - 0xD800u) << 10) + (label[++at] - 0xDC00u));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return std::nullopt;
    } else {
      points.push_back(unit);
    }
  }
  return points;
}

// "bücher" gives "xn--bcher-kva"; nothing when the label cannot be encoded.
std::optional<std::u16string> PunycodeLabel(std::u16string_view label) {
  std::optional<std::vector<std::uint32_t>> points = CodePoints(label);
  if (!points) return std::nullopt;
  std::u16string out = u"xn--";
  std::uint32_t basic = 0;
  for (std::uint32_t point : *points) {
    if (point < 0x80) {
      out += Lower(static_cast<char16_t>(point));
      ++basic;
    }
  }
  if (basic > 0) out += u'-';
  std::uint32_t n = kInitialN, delta = 0, bias = kInitialBias, handled = basic;
  const std::uint32_t total = static_cast<std::uint32_t>(points->size());
  while (handled < total) {
    std::uint32_t next = 0x110000;
    for (std::uint32_t point : *points) {
      if (point >= n && point < next) next = point;
    }
    if ((next - n) > (0xFFFFFFFFu - delta) / (handled + 1)) return std::nullopt;
    delta += (next - n) * (handled + 1);
    n = next;
    for (std::uint32_t point : *points) {
      if (point < n && ++delta == 0) return std::nullopt;
      if (point != n) continue;
      std::uint32_t q = delta;
      for (std::uint32_t k = kBase;; k += kBase) {
        std::uint32_t t = k <= bias ? kTMin : (k >= bias + kTMax ? kTMax : k - bias);
        if (q < t) break;
        out += PunycodeDigit(t + (q - t) % (kBase - t));
        q = (q - t) / (kBase - t);
      }
      out += PunycodeDigit(q);
      bias = Adapt(delta, handled + 1, handled == basic);
      delta = 0;
      ++handled;
    }
    ++delta;
    ++n;
  }
  return out;
}

std::optional<std::u16string> ComparableLabel(std::u16string_view label) {
  if (label.empty() || label.size() > 63) return std::nullopt;
  bool ascii = true;
  for (char16_t c : label) {
    if (c >= 0x80) {
      ascii = false;
    } else if (!IsAsciiNameCharacter(c)) {
      return std::nullopt;
    }
  }
  if (!ascii) {
    // The encoded label is what DNS carries: it too has at most 63 characters.
    std::optional<std::u16string> encoded = PunycodeLabel(label);
    if (!encoded || encoded->size() > 63) return std::nullopt;
    return encoded;
  }
  std::u16string lowered(label);
  for (char16_t& c : lowered) c = Lower(c);
  return lowered;
}

std::optional<std::u16string> ComparableIpv6(std::u16string_view literal) {
  // "[" hex digits, ":" and "." (an embedded IPv4 form) "]"
  if (literal.size() < 4 || literal.front() != u'[' || literal.back() != u']') return std::nullopt;
  std::u16string lowered(literal);
  for (std::size_t at = 1; at + 1 < lowered.size(); ++at) {
    char16_t c = lowered[at];
    if (!IsHexDigit(c) && c != u':' && c != u'.') return std::nullopt;
    lowered[at] = Lower(c);
  }
  return lowered;
}

// "host" or "host:port" as origins compare them; host in brackets for IPv6.
std::optional<HttpsOrigin> OriginOfHostAndPort(std::u16string_view text) {
  std::size_t colon = text.npos;
  if (!text.empty() && text.front() == u'[') {
    std::size_t close = text.find(u']');
    if (close == text.npos) return std::nullopt;
    if (close + 1 < text.size()) {
      if (text[close + 1] != u':') return std::nullopt;
      colon = close + 1;
    }
  } else {
    colon = text.find(u':');
  }
  std::u16string_view hostText = text.substr(0, colon);
  std::optional<std::u16string> host =
      !hostText.empty() && hostText.front() == u'[' ? ComparableIpv6(hostText) : ComparableHostName(hostText);
  if (!host) return std::nullopt;
  HttpsOrigin origin{*host, 443};
  if (colon != text.npos) {
    std::u16string_view digits = text.substr(colon + 1);
    if (digits.empty()) return origin;
    std::uint32_t port = 0;
    for (char16_t c : digits) {
      if (!IsDigit(c)) return std::nullopt;
      port = port * 10 + (c - u'0');
      if (port > 65535) return std::nullopt;
    }
    if (port == 0) return std::nullopt;
    origin.port = static_cast<std::uint16_t>(port);
  }
  return origin;
}

}  // namespace

std::optional<std::u16string> ComparableHostName(std::u16string_view name) {
  // "gw.example." names the same host as "gw.example".
  if (!name.empty() && name.back() == u'.') name.remove_suffix(1);
  if (name.empty() || name.size() > 253) return std::nullopt;
  std::u16string comparable;
  std::size_t at = 0;
  while (true) {
    std::size_t dot = name.find(u'.', at);
    std::optional<std::u16string> label = ComparableLabel(name.substr(at, dot == name.npos ? name.npos : dot - at));
    if (!label) return std::nullopt;
    comparable += *label;
    if (comparable.size() > 253) return std::nullopt;
    if (dot == name.npos) break;
    comparable += u'.';
    at = dot + 1;
  }
  return comparable;
}

std::optional<HttpsOrigin> HttpsOriginOfAddress(std::u16string_view address) {
  std::size_t colon = address.find(u':');
  if (colon != 5) return std::nullopt;
  constexpr std::u16string_view kHttps = u"https";
  for (std::size_t at = 0; at < kHttps.size(); ++at) {
    if (Lower(address[at]) != kHttps[at]) return std::nullopt;
  }
  std::u16string_view rest = address.substr(colon + 1);
  auto isSlash = [](char16_t c) { return c == u'/' || c == u'\\'; };
  if (rest.size() < 2 || !isSlash(rest[0]) || !isSlash(rest[1])) return std::nullopt;
  rest.remove_prefix(2);
  std::u16string_view authority = rest.substr(0, rest.find_first_of(u"/\\?#"));
  if (authority.find(u'@') != authority.npos) return std::nullopt;
  return OriginOfHostAndPort(authority);
}

std::optional<HttpsOrigin> HttpsOriginOfEntry(std::u16string_view entry) {
  if (entry.find_first_of(u"/\\?#@") != entry.npos) return std::nullopt;
  return OriginOfHostAndPort(entry);
}

}  // namespace vorlane
