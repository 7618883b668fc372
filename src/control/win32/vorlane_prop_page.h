#pragma once
// CVorlanePropPage: the control's one property page, made from dialog 200.
// It exchanges no property.
#include <windows.h>
#include <ocidl.h>

#include "com/win32/com_object.h"
#include "support/win32/com_ptr.h"
#include "support/win32/module_lock.h"

namespace vorlane {

class CVorlanePropPage final : public ComObject<IPropertyPage, IPersist> {
 public:
  static HRESULT Create(REFIID iid, void** out);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override;
  STDMETHODIMP Move(LPCRECT rect) override;
  STDMETHODIMP IsPageDirty() override;
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR helpDir) override;
  STDMETHODIMP TranslateAccelerator(MSG* msg) override;

  STDMETHODIMP GetClassID(CLSID* clsid) override;

 private:
  CVorlanePropPage() = default;
  ~CVorlanePropPage() override;

  ModuleReference module_;
  ComPtr<IPropertyPageSite> site_;
  HWND dialog_ = nullptr;
};

}  // namespace vorlane
