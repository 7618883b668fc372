#include "com/win32/property_bag_store.h"

#include "support/win32/bstr.h"
#include "support/win32/variant.h"

namespace vorlane {
namespace {

LPCOLESTR Wide(const char16_t* text) { return reinterpret_cast<LPCOLESTR>(text); }

}  // namespace

// Asks the bag for any type and converts it ourselves: bags differ in what
// they convert.
bool PropertyBagStore::Read(const char16_t* name, VARTYPE type, VARIANT& out) {
  Variant raw;
  if (FAILED(bag_->Read(Wide(name), raw.Get(), log_))) return false;
  return SUCCEEDED(VariantChangeType(&out, raw.Get(), 0, type));
}

std::optional<std::uint32_t> PropertyBagStore::ReadUnsigned(const char16_t* name) {
  Variant value;
  if (!Read(name, VT_UI4, *value.Get())) return std::nullopt;
  return value->ulVal;
}

std::optional<std::int32_t> PropertyBagStore::ReadLong(const char16_t* name) {
  Variant value;
  if (!Read(name, VT_I4, *value.Get())) return std::nullopt;
  return value->lVal;
}

std::optional<std::int16_t> PropertyBagStore::ReadShort(const char16_t* name) {
  Variant value;
  if (!Read(name, VT_I2, *value.Get())) return std::nullopt;
  return value->iVal;
}

std::optional<std::u16string> PropertyBagStore::ReadText(const char16_t* name) {
  Variant value;
  if (!Read(name, VT_BSTR, *value.Get())) return std::nullopt;
  return Bstr::ToText(value->bstrVal);
}

void PropertyBagStore::Write(const char16_t* name, VARIANT& value) {
  HRESULT hr = bag_->Write(Wide(name), &value);
  if (FAILED(hr) && SUCCEEDED(writeResult_)) writeResult_ = hr;
}

// The set's version and mask go out as VT_I4, the form every bag takes.
void PropertyBagStore::WriteUnsigned(const char16_t* name, std::uint32_t value) {
  WriteLong(name, std::int32_t(value));
}

void PropertyBagStore::WriteLong(const char16_t* name, std::int32_t value) {
  Variant v;
  v->vt = VT_I4;
  v->lVal = value;
  Write(name, *v.Get());
}

void PropertyBagStore::WriteShort(const char16_t* name, std::int16_t value) {
  Variant v;
  v->vt = VT_I2;
  v->iVal = value;
  Write(name, *v.Get());
}

void PropertyBagStore::WriteText(const char16_t* name, const std::u16string& value) {
  Variant v;
  v->vt = VT_BSTR;
  v->bstrVal = Bstr(value).Detach();
  if (!v->bstrVal) throw std::bad_alloc();
  Write(name, *v.Get());
}

}  // namespace vorlane
