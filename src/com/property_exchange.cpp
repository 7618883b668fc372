#include "com/property_exchange.h"

namespace vorlane {

template <typename T, typename Read, typename Write>
void PropertyExchange::Exchange(T& field, const std::optional<T>& defaultValue, Read read, Write write) {
  switch (mode_) {
    case ExchangeMode::Load:
      if (std::optional<T> value = read()) {
        field = *value;
      } else if (defaultValue) {
        field = *defaultValue;
      }
      break;
    case ExchangeMode::Save:
      write(field);
      break;
    case ExchangeMode::Reset:
      if (defaultValue) field = *defaultValue;
      break;
  }
}

void PropertyExchange::Unsigned(const char16_t* name, std::uint32_t& field, std::uint32_t defaultValue) {
  Exchange<std::uint32_t>(field, defaultValue, [&] { return store_->ReadUnsigned(name); },
                          [&](std::uint32_t v) { store_->WriteUnsigned(name, v); });
}

void PropertyExchange::Long(const char16_t* name, std::int32_t& field, std::int32_t defaultValue) {
  Exchange<std::int32_t>(field, defaultValue, [&] { return store_->ReadLong(name); },
                         [&](std::int32_t v) { store_->WriteLong(name, v); });
}

void PropertyExchange::Long(const char16_t* name, std::int32_t& field) {
  Exchange<std::int32_t>(field, std::nullopt, [&] { return store_->ReadLong(name); },
                         [&](std::int32_t v) { store_->WriteLong(name, v); });
}

void PropertyExchange::Short(const char16_t* name, std::int16_t& field) {
  Exchange<std::int16_t>(field, std::nullopt, [&] { return store_->ReadShort(name); },
                         [&](std::int16_t v) { store_->WriteShort(name, v); });
}

void PropertyExchange::Text(const char16_t* name, std::u16string& field) {
  Exchange<std::u16string>(field, std::nullopt, [&] { return store_->ReadText(name); },
                           [&](const std::u16string& v) { store_->WriteText(name, v); });
}

}  // namespace vorlane
