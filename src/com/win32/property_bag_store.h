#pragma once
// The page's <param> values (or a container's saved set) as a property
// store: values are converted with VariantChangeType.
#include <windows.h>
#include <ocidl.h>

#include "com/property_exchange.h"

namespace vorlane {

class PropertyBagStore : public PropertyStore {
 public:
  PropertyBagStore(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}

  std::optional<std::uint32_t> ReadUnsigned(const char16_t* name) override;
  std::optional<std::int32_t> ReadLong(const char16_t* name) override;
  std::optional<std::int16_t> ReadShort(const char16_t* name) override;
  std::optional<std::u16string> ReadText(const char16_t* name) override;
  void WriteUnsigned(const char16_t* name, std::uint32_t value) override;
  void WriteLong(const char16_t* name, std::int32_t value) override;
  void WriteShort(const char16_t* name, std::int16_t value) override;
  void WriteText(const char16_t* name, const std::u16string& value) override;

  // The first write the bag refused, S_OK when none.
  HRESULT WriteResult() const { return writeResult_; }

 private:
  bool Read(const char16_t* name, VARTYPE type, VARIANT& out);
  void Write(const char16_t* name, VARIANT& value);

  IPropertyBag* bag_;
  IErrorLog* log_;
  HRESULT writeResult_ = S_OK;
};

}  // namespace vorlane
