#pragma once
// The <param> values of the page's <object> tag as the control reads them
// (IPersistPropertyBag::Load), and the bag the control writes into when saved.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "com/win32/com_object.h"

namespace vorlane::host {

struct BagEntry {
  std::u16string name;
  std::u16string text;  // the value converted to text
  VARTYPE type = VT_BSTR;
};

class PropertyBag final : public ComObject<IPropertyBag> {
 public:
  // Page parameters are texts, as in HTML; the control asks for the type it wants.
  void Set(const std::u16string& name, const std::u16string& value);
  std::vector<BagEntry> Entries() const { return entries_; }
  // Empty when absent.
  const BagEntry* Find(const std::u16string& name) const;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

 private:
  BagEntry* FindEntry(const std::u16string& name);
  std::vector<BagEntry> entries_;  // in the order written
};

}  // namespace vorlane::host
