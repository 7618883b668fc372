#include "property_bag.h"

#include "support/win32/variant.h"
#include "text.h"

namespace vorlane::host {

void PropertyBag::Set(const std::u16string& name, const std::u16string& value) {
  if (BagEntry* entry = FindEntry(name)) {
    *entry = {name, value, VT_BSTR};
  } else {
    entries_.push_back({name, value, VT_BSTR});
  }
}

BagEntry* PropertyBag::FindEntry(const std::u16string& name) {
  // Parameter names are not case-sensitive in HTML.
  for (auto& entry : entries_)
    if (CompareStringOrdinal(AsWide(entry.name), -1, AsWide(name), -1, TRUE) == CSTR_EQUAL) return &entry;
  return nullptr;
}

const BagEntry* PropertyBag::Find(const std::u16string& name) const {
  return const_cast<PropertyBag*>(this)->FindEntry(name);
}

HRESULT PropertyBag::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) return Answer(static_cast<IPropertyBag*>(this), out);
  return E_NOINTERFACE;
}

HRESULT PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  Variant text;
  try {
    const BagEntry* entry = FindEntry(FromWide(name));
    if (!entry) return E_INVALIDARG;
    text = Variant::Text(entry->text);
  } catch (...) {  // nothing may escape into the control
    return E_OUTOFMEMORY;
  }
  VARTYPE wanted = V_VT(value) == VT_EMPTY ? VARTYPE{VT_BSTR} : V_VT(value);
  VariantInit(value);
  // A value that does not convert (a "type" of "abc") is refused, as a browser does.
  return VariantChangeType(value, text.Get(), 0, wanted);
}

HRESULT PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  Variant text;
  HRESULT hr = VariantChangeType(text.Get(), value, VARIANT_ALPHABOOL, VT_BSTR);
  if (FAILED(hr)) return hr;
  try {
    BagEntry written{FromWide(name), FromWide(V_BSTR(text.Get())), V_VT(value)};
    if (BagEntry* entry = FindEntry(written.name)) {
      *entry = written;
    } else {
      entries_.push_back(written);
    }
  } catch (...) {  // nothing may escape into the control
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace vorlane::host
