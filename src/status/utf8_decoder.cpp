#include "status/utf8_decoder.h"

#include <cstdint>

namespace vorlane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// How a lead byte continues: the count of continuation bytes and the range
// allowed for the first of them (which excludes over-long forms, surrogates
// and code points above U+10FFFF).
struct Lead {
  int continuations;
  std::uint8_t low, high;
  char32_t bits;
};

bool ReadLead(std::uint8_t b, Lead& lead) {
  if (b >= 0xC2 && b <= 0xDF) lead = {1, 0x80, 0xBF, char32_t(b & 0x1F)};
  else if (b == 0xE0) lead = {2, 0xA0, 0xBF, 0};
  else if (b == 0xED) lead = {2, 0x80, 0x9F, 0xD};
  else if (b >= 0xE1 && b <= 0xEF) lead = {2, 0x80, 0xBF, char32_t(b & 0x0F)};
  else if (b == 0xF0) lead = {3, 0x90, 0xBF, 0};
  else if (b >= 0xF1 && b <= 0xF3) lead = {3, 0x80, 0xBF, char32_t(b & 0x07)};
  else if (b == 0xF4) lead = {3, 0x80, 0x8F, 4};
  else return false;
  return true;
}

class Output {
 public:
  Output(char16_t* out, std::size_t capacity) : out_(out), capacity_(capacity) {}
  void Put(char32_t cp) {
    if (cp >= 0x10000) {
      Unit(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
      Unit(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      Unit(char16_t(cp));
    }
  }
  std::size_t Result() const { return overflow_ ? 0 : count_; }

 private:
  void Unit(char16_t u) {
    if (out_) {
      if (count_ >= capacity_) {
        overflow_ = true;
        return;
      }
      out_[count_] = u;
    }
    ++count_;
  }
  char16_t* out_;
  std::size_t capacity_;
  std::size_t count_ = 0;
  bool overflow_ = false;
};

}  // namespace

std::size_t Utf8Decoder::ToUtf16(const char* bytes, std::size_t size, char16_t* out, std::size_t capacity) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(bytes);
  Output output(out, capacity);
  std::size_t i = 0;
  while (i < size) {
    Lead lead;
    if (s[i] < 0x80) {
      output.Put(s[i++]);
      continue;
    }
    if (!ReadLead(s[i], lead)) {
      output.Put(kReplacement);
      ++i;
      continue;
    }
    char32_t cp = lead.bits;
    std::size_t j = i + 1;
    bool whole = true;
    for (int k = 0; k < lead.continuations; ++k, ++j) {
      std::uint8_t low = k == 0 ? lead.low : 0x80, high = k == 0 ? lead.high : 0xBF;
      if (j >= size || s[j] < low || s[j] > high) {
        whole = false;
        break;
      }
      cp = (cp << 6) | (s[j] & 0x3F);
    }
    output.Put(whole ? cp : kReplacement);
    i = j;
  }
  return output.Result();
}

}  // namespace vorlane
