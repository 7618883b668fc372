#include "support/wide_format.h"

#include <cstdint>

namespace vorlane {
namespace {

// Appends to a bounded buffer; remembers overflow instead of writing past it.
class Sink {
 public:
  Sink(char16_t* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

  void Put(char16_t c) {
    if (length_ + 1 < capacity_) {
      out_[length_] = c;
    } else {
      overflow_ = true;
    }
    ++length_;
  }
  void Repeat(char16_t c, int count) {
    for (int i = 0; i < count; ++i) Put(c);
  }
  int Finish(bool ok) {
    if (capacity_ == 0) return -1;
    if (!ok || overflow_) {
      out_[0] = u'\0';
      return -1;
    }
    out_[length_] = u'\0';
    return static_cast<int>(length_);
  }

 private:
  char16_t* out_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool overflow_ = false;
};

struct Directive {
  bool left = false;
  bool zero = false;
  bool plus = false;
  bool space = false;
  int width = 0;
  int precision = -1;
};

void PutPadded(Sink& sink, const Directive& directive, const char16_t* body, int bodyLength,
               const char16_t* sign, int signLength, bool allowZero) {
  int padding = directive.width - bodyLength - signLength;
  if (padding < 0) padding = 0;
  bool zeroPad = allowZero && directive.zero && !directive.left;
  if (!directive.left && !zeroPad) sink.Repeat(u' ', padding);
  for (int i = 0; i < signLength; ++i) sink.Put(sign[i]);
  if (zeroPad) sink.Repeat(u'0', padding);
  for (int i = 0; i < bodyLength; ++i) sink.Put(body[i]);
  if (directive.left) sink.Repeat(u' ', padding);
}

void PutInteger(Sink& sink, const Directive& directive, std::uint64_t magnitude, bool negative,
                unsigned base, bool upper, bool isSigned) {
  char16_t digits[24];
  int count = 0;
  const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  do {
    digits[count++] = static_cast<char16_t>(alphabet[magnitude % base]);
    magnitude /= base;
  } while (magnitude != 0);
  // Precision is the minimum number of digits.
  char16_t body[64];
  int bodyLength = 0;
  int minimum = directive.precision > 0 ? directive.precision : 1;
  if (minimum > 40) minimum = 40;
  for (int i = count; i < minimum; ++i) body[bodyLength++] = u'0';
  while (count > 0) body[bodyLength++] = digits[--count];
  if (directive.precision == 0 && bodyLength == 1 && body[0] == u'0') bodyLength = 0;

  char16_t sign[1];
  int signLength = 0;
  if (isSigned) {
    if (negative) sign[signLength++] = u'-';
    else if (directive.plus) sign[signLength++] = u'+';
    else if (directive.space) sign[signLength++] = u' ';
  }
  PutPadded(sink, directive, body, bodyLength, sign, signLength, directive.precision < 0);
}

}  // namespace

std::size_t WideLength(const char16_t* text) {
  std::size_t n = 0;
  while (text[n] != u'\0') ++n;
  return n;
}

int FormatWideV(char16_t* out, std::size_t capacity, const char16_t* format, va_list args) {
  Sink sink(out, capacity);
  const char16_t* p = format;
  while (*p != u'\0') {
    if (*p != u'%') {
      sink.Put(*p++);
      continue;
    }
    ++p;
    if (*p == u'%') {
      sink.Put(u'%');
      ++p;
      continue;
    }
    Directive directive;
    for (;; ++p) {
      if (*p == u'-') directive.left = true;
      else if (*p == u'0') directive.zero = true;
      else if (*p == u'+') directive.plus = true;
      else if (*p == u' ') directive.space = true;
      else break;
    }
    while (*p >= u'0' && *p <= u'9') {
      if (directive.width < 100000) directive.width = directive.width * 10 + (*p - u'0');
      ++p;
    }
    if (*p == u'.') {
      ++p;
      directive.precision = 0;
      while (*p >= u'0' && *p <= u'9') {
        if (directive.precision < 100000) directive.precision = directive.precision * 10 + (*p - u'0');
        ++p;
      }
    }
    int longs = 0;
    bool half = false;
    bool size = false;
    for (;; ++p) {
      if (*p == u'l') ++longs;
      else if (*p == u'h') half = true;
      else if (*p == u'z') size = true;
      else break;
    }
    const char16_t conversion = *p;
    if (conversion == u'\0') return sink.Finish(false);
    ++p;
    switch (conversion) {
      case u'd':
      case u'i': {
        std::int64_t v;
        if (longs >= 2) v = va_arg(args, long long);
        else if (longs == 1) v = va_arg(args, long);
        else if (size) v = static_cast<std::int64_t>(va_arg(args, std::ptrdiff_t));
        else v = va_arg(args, int);
        if (half) v = static_cast<short>(v);
        std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        PutInteger(sink, directive, magnitude, v < 0, 10, false, true);
        break;
      }
      case u'u':
      case u'x':
      case u'X': {
        std::uint64_t v;
        if (longs >= 2) v = va_arg(args, unsigned long long);
        else if (longs == 1) v = va_arg(args, unsigned long);
        else if (size) v = va_arg(args, std::size_t);
        else v = va_arg(args, unsigned int);
        if (half) v = static_cast<unsigned short>(v);
        PutInteger(sink, directive, v, false, conversion == u'u' ? 10 : 16, conversion == u'X', false);
        break;
      }
      case u'c': {
        char16_t c = static_cast<char16_t>(va_arg(args, int));
        PutPadded(sink, directive, &c, 1, nullptr, 0, false);
        break;
      }
      case u's': {
        const char16_t* s = va_arg(args, const char16_t*);
        if (s == nullptr) s = u"(null)";
        std::size_t n = WideLength(s);
        if (directive.precision >= 0 && n > static_cast<std::size_t>(directive.precision)) n = directive.precision;
        PutPadded(sink, directive, s, static_cast<int>(n), nullptr, 0, false);
        break;
      }
      default:
        return sink.Finish(false);
    }
  }
  return sink.Finish(true);
}

int FormatWide(char16_t* out, std::size_t capacity, const char16_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatWideV(out, capacity, format, args);
  va_end(args);
  return n;
}

}  // namespace vorlane
