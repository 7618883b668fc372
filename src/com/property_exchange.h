#pragma once
// Property exchange: one routine per control that names its persisted
// properties in order; the same routine loads, saves and resets them.
#include <cstdint>
#include <optional>
#include <string>

namespace vorlane {

enum class ExchangeMode { Load, Save, Reset };

// Where a loading exchange reads and a saving exchange writes. A read gives
// nothing when the value is absent or cannot be converted to the type asked.
class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  virtual std::optional<std::uint32_t> ReadUnsigned(const char16_t* name) = 0;
  virtual std::optional<std::int32_t> ReadLong(const char16_t* name) = 0;
  virtual std::optional<std::int16_t> ReadShort(const char16_t* name) = 0;
  virtual std::optional<std::u16string> ReadText(const char16_t* name) = 0;
  virtual void WriteUnsigned(const char16_t* name, std::uint32_t value) = 0;
  virtual void WriteLong(const char16_t* name, std::int32_t value) = 0;
  virtual void WriteShort(const char16_t* name, std::int16_t value) = 0;
  virtual void WriteText(const char16_t* name, const std::u16string& value) = 0;
};

class PropertyExchange {
 public:
  // store may be null only for a reset.
  PropertyExchange(ExchangeMode mode, PropertyStore* store) : mode_(mode), store_(store) {}
  ExchangeMode Mode() const { return mode_; }

  // With a default: an absent value loads as the default, and a reset sets it.
  void Unsigned(const char16_t* name, std::uint32_t& field, std::uint32_t defaultValue);
  void Long(const char16_t* name, std::int32_t& field, std::int32_t defaultValue);

  // Without a default: an absent or unconvertible value, and a reset, leave
  // the field as it was.
  void Long(const char16_t* name, std::int32_t& field);
  void Short(const char16_t* name, std::int16_t& field);
  void Text(const char16_t* name, std::u16string& field);

 private:
  template <typename T, typename Read, typename Write>
  void Exchange(T& field, const std::optional<T>& defaultValue, Read read, Write write);

  ExchangeMode mode_;
  PropertyStore* store_;
};

}  // namespace vorlane
