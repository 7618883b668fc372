#include "com/property_record.h"

#include <limits>

namespace vorlane {
namespace {

constexpr std::uint32_t kRecordMagic = 0x53504C56;  // "VLPS"
constexpr std::uint32_t kRecordLayout = 1;
// Guards against absurd sizes in a damaged stream.
constexpr std::uint32_t kMaxEntries = 1024;
constexpr std::uint32_t kMaxTextUnits = 1u << 20;

template <typename T>
std::optional<T> InRange(std::optional<std::int64_t> value) {
  if (!value || *value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max()) {
    return std::nullopt;
  }
  return static_cast<T>(*value);
}

class Writer {
 public:
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(v >> (8 * i)));
  }
  void U16(std::uint16_t v) {
    bytes.push_back(std::uint8_t(v));
    bytes.push_back(std::uint8_t(v >> 8));
  }
  void Text(const std::u16string& text) {
    U32(std::uint32_t(text.size()));
    for (char16_t c : text) U16(c);
  }
  std::vector<std::uint8_t> bytes;
};

class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  std::optional<std::uint32_t> U32() {
    if (bytes_.size() - pos_ < 4) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(bytes_[pos_++]) << (8 * i);
    return v;
  }
  std::optional<std::uint16_t> U16() {
    if (bytes_.size() - pos_ < 2) return std::nullopt;
    std::uint16_t v = std::uint16_t(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  std::optional<std::u16string> Text() {
    std::optional<std::uint32_t> size = U32();
    if (!size || *size > kMaxTextUnits || (bytes_.size() - pos_) / 2 < *size) return std::nullopt;
    std::u16string text;
    for (std::uint32_t i = 0; i < *size; ++i) text.push_back(char16_t(*U16()));
    return text;
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<std::int64_t> ParseDecimal(const std::u16string& text) {
  std::size_t i = 0, end = text.size();
  while (i < end && text[i] == u' ') ++i;
  while (end > i && text[end - 1] == u' ') --end;
  bool negative = false;
  if (i < end && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == end) return std::nullopt;
  std::int64_t value = 0;
  for (; i < end; ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + (text[i] - u'0');
    if (value > (std::int64_t(1) << 40)) return std::nullopt;  // far beyond any property's range
  }
  return negative ? -value : value;
}

void PropertyRecord::Set(const char16_t* name, Value value) {
  for (Entry& entry : entries_) {
    if (entry.name == name) {
      entry.value = std::move(value);
      return;
    }
  }
  entries_.push_back({name, std::move(value)});
}

const PropertyRecord::Value* PropertyRecord::Find(const char16_t* name) const {
  for (const Entry& entry : entries_) {
    if (entry.name == name) return &entry.value;
  }
  return nullptr;
}

std::optional<std::int64_t> PropertyRecord::ReadInteger(const char16_t* name) const {
  const Value* value = Find(name);
  if (!value) return std::nullopt;
  if (const auto* text = std::get_if<std::u16string>(value)) return ParseDecimal(*text);
  return std::visit(
      [](const auto& v) -> std::optional<std::int64_t> {
        if constexpr (std::is_integral_v<std::decay_t<decltype(v)>>) return std::int64_t(v);
        return std::nullopt;
      },
      *value);
}

std::optional<std::uint32_t> PropertyRecord::ReadUnsigned(const char16_t* name) {
  return InRange<std::uint32_t>(ReadInteger(name));
}
std::optional<std::int32_t> PropertyRecord::ReadLong(const char16_t* name) {
  return InRange<std::int32_t>(ReadInteger(name));
}
std::optional<std::int16_t> PropertyRecord::ReadShort(const char16_t* name) {
  return InRange<std::int16_t>(ReadInteger(name));
}
std::optional<std::u16string> PropertyRecord::ReadText(const char16_t* name) {
  const Value* value = Find(name);
  if (!value) return std::nullopt;
  if (const auto* text = std::get_if<std::u16string>(value)) return *text;
  std::int64_t number = *ReadInteger(name);
  std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

void PropertyRecord::WriteUnsigned(const char16_t* name, std::uint32_t value) { Set(name, value); }
void PropertyRecord::WriteLong(const char16_t* name, std::int32_t value) { Set(name, value); }
void PropertyRecord::WriteShort(const char16_t* name, std::int16_t value) { Set(name, value); }
void PropertyRecord::WriteText(const char16_t* name, const std::u16string& value) { Set(name, value); }

std::vector<std::uint8_t> PropertyRecord::Serialize() const {
  Writer out;
  out.U32(kRecordMagic);
  out.U32(kRecordLayout);
  out.U32(std::uint32_t(entries_.size()));
  for (const Entry& entry : entries_) {
    out.Text(entry.name);
    out.U16(std::uint16_t(entry.value.index()));
    std::visit(
        [&](const auto& v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, std::u16string>) {
            out.Text(v);
          } else {
            out.U32(std::uint32_t(v));
          }
        },
        entry.value);
  }
  return out.bytes;
}

std::optional<PropertyRecord> PropertyRecord::Deserialize(const std::vector<std::uint8_t>& bytes) {
  Reader in(bytes);
  if (in.U32() != kRecordMagic || in.U32() != kRecordLayout) return std::nullopt;
  std::optional<std::uint32_t> count = in.U32();
  if (!count || *count > kMaxEntries) return std::nullopt;
  PropertyRecord record;
  for (std::uint32_t i = 0; i < *count; ++i) {
    std::optional<std::u16string> name = in.Text();
    std::optional<std::uint16_t> kind = in.U16();
    // Names are kept as C strings: one holding a NUL is no name of this layout.
    if (!name || !kind || name->find(u'\0') != std::u16string::npos) return std::nullopt;
    if (*kind == 3) {
      std::optional<std::u16string> text = in.Text();
      if (!text) return std::nullopt;
      record.Set(name->c_str(), *text);
      continue;
    }
    std::optional<std::uint32_t> raw = in.U32();
    if (!raw) return std::nullopt;
    switch (*kind) {
      case 0: record.Set(name->c_str(), *raw); break;
      case 1: record.Set(name->c_str(), std::int32_t(*raw)); break;
      case 2: {
        // Written sign-extended; any other slot is damage, not a short.
        std::optional<std::int16_t> value = InRange<std::int16_t>(std::int32_t(*raw));
        if (!value) return std::nullopt;
        record.Set(name->c_str(), *value);
        break;
      }
      default: return std::nullopt;
    }
  }
  if (!in.AtEnd()) return std::nullopt;
  return record;
}

}  // namespace vorlane
