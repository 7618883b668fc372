#pragma once
// A property set held in memory: what a saving exchange wrote, in order, and
// what a loading exchange reads back. Streams and storages persist it in a
// small versioned binary layout.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "com/property_exchange.h"

namespace vorlane {

class PropertyRecord : public PropertyStore {
 public:
  using Value = std::variant<std::uint32_t, std::int32_t, std::int16_t, std::u16string>;
  struct Entry {
    std::u16string name;
    Value value;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  std::optional<std::uint32_t> ReadUnsigned(const char16_t* name) override;
  std::optional<std::int32_t> ReadLong(const char16_t* name) override;
  std::optional<std::int16_t> ReadShort(const char16_t* name) override;
  std::optional<std::u16string> ReadText(const char16_t* name) override;
  void WriteUnsigned(const char16_t* name, std::uint32_t value) override;
  void WriteLong(const char16_t* name, std::int32_t value) override;
  void WriteShort(const char16_t* name, std::int16_t value) override;
  void WriteText(const char16_t* name, const std::u16string& value) override;

  // A later write of the same name replaces the earlier value in place.
  void Set(const char16_t* name, Value value);
  const Value* Find(const char16_t* name) const;
  const std::vector<Entry>& Entries() const { return entries_; }

  std::vector<std::uint8_t> Serialize() const;
  // Nothing when the bytes are not a complete record of this layout.
  static std::optional<PropertyRecord> Deserialize(const std::vector<std::uint8_t>& bytes);

 private:
  std::optional<std::int64_t> ReadInteger(const char16_t* name) const;
  std::vector<Entry> entries_;
};

// Decimal text, optionally signed and surrounded by spaces, as an integer.
std::optional<std::int64_t> ParseDecimal(const std::u16string& text);

}  // namespace vorlane
