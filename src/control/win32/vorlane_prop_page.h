#pragma once
// CVorlanePropPage: the control's one property page, made from dialog 200.
// It exchanges no property.
#include <windows.h>
#include <ocidl.h>

#include <atomic>

#include "com/win32/com_ptr.h"
#include "support/win32/module_lock.h"

namespace vorlane {

class CVorlanePropPage final : public IPropertyPage, public IPersist {
 public:
  static HRESULT Create(REFIID iid, void** out);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

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

  HWND Dialog() const { return dialog_; }

 private:
  CVorlanePropPage() = default;
  ~CVorlanePropPage();

  std::atomic<ULONG> references_{1};
  ModuleReference module_;
  ComPtr<IPropertyPageSite> site_;
  HWND dialog_ = nullptr;
};

}  // namespace vorlane
