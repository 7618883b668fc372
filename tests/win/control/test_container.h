#pragma once
// A small container for the control: a site window, a property bag of
// <param> values, and event sinks that record what they receive.
#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/win32/bstr.h"
#include "com/win32/com_object.h"
#include "support/win32/com_ptr.h"

namespace vorlane::tests {

// Records OnClientMessage texts; a failing sink answers every call E_FAIL.
class EventSink : public ComObject<IDispatch> {
 public:
  explicit EventSink(bool failing = false) : failing_(failing) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;

  std::vector<std::u16string> received;
  int calls = 0;

 private:
  bool failing_;
};

// The page's <param> values as texts, and what a save writes.
class PropertyBag : public ComObject<IPropertyBag> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

  std::map<std::u16string, std::u16string> params;
  std::vector<std::pair<std::u16string, VARTYPE>> written;  // name and type, in order
  std::map<std::u16string, std::u16string> writtenText;
};

// A site with a top-level window that the control activates in place in.
class Site : public ComObject<IOleClientSite, IOleInPlaceSite> {
 public:
  Site();
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
  STDMETHODIMP GetContainer(IOleContainer** out) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  HWND window = nullptr;
  int activations = 0, deactivations = 0;

 protected:
  ~Site() override;
};

// Connects a sink to the control's event point; returns the cookie (0 on failure).
DWORD Connect(IUnknown* control, IUnknown* sink);
// Runs work on another thread while this thread pumps messages, so that what
// it sends to our windows is handled; returns when work is done.
void RunOnOtherThreadWhilePumping(const std::function<void()>& work);
// A fresh control created the way the factory does.
ComPtr<IDispatch> NewControl();
// A fresh control, initialised as new.
ComPtr<IDispatch> NewInitialisedControl();

}  // namespace vorlane::tests
