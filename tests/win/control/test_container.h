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

#include "com/win32/com_object.h"
#include "support/win32/bstr.h"
#include "support/win32/variant.h"
#include "support/win32/com_ptr.h"

namespace vorlane::tests {

// The fakes below answer only what the control is expected to call; any
// other call fails the running test, so a new call from the control into its
// container is seen.
HRESULT Unexpected(const char* call);

// Records OnClientMessage texts; a failing sink answers every call E_FAIL.
// Asked for the event interface it gives `forEvents` when set, asked for
// IDispatch `forDispatch` when set; itself otherwise, for IDispatch only
// while `answersDispatch`.
class EventSink : public ComObject<IDispatch> {
 public:
  explicit EventSink(bool failing = false) : failing_(failing) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return Unexpected("EventSink::GetTypeInfoCount"); }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected("EventSink::GetTypeInfo"); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return Unexpected("EventSink::GetIDsOfNames");
  }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;

  std::vector<std::u16string> received;
  int calls = 0;
  ComPtr<IDispatch> forEvents, forDispatch;
  bool answersDispatch = true;

 private:
  bool failing_;
};

// The frame or document window of the site; records SetActiveObject.
class InPlaceWindow : public ComObject<IOleInPlaceFrame> {
 public:
  explicit InPlaceWindow(HWND window) : window_(window) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return Unexpected("InPlaceWindow::ContextSensitiveHelp"); }
  STDMETHODIMP GetBorder(LPRECT) override { return Unexpected("InPlaceWindow::GetBorder"); }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return Unexpected("InPlaceWindow::RequestBorderSpace"); }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return Unexpected("InPlaceWindow::SetBorderSpace"); }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return Unexpected("InPlaceWindow::InsertMenus"); }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return Unexpected("InPlaceWindow::SetMenu"); }
  STDMETHODIMP RemoveMenus(HMENU) override { return Unexpected("InPlaceWindow::RemoveMenus"); }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return Unexpected("InPlaceWindow::SetStatusText"); }
  STDMETHODIMP EnableModeless(BOOL) override { return Unexpected("InPlaceWindow::EnableModeless"); }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return Unexpected("InPlaceWindow::TranslateAccelerator"); }

  // The object of each SetActiveObject call, null for a clearing one; kept
  // only to compare, without a reference.
  std::vector<IOleInPlaceActiveObject*> activeObjects;

 private:
  HWND window_;
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
  STDMETHODIMP SaveObject() override { return Unexpected("Site::SaveObject"); }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
  STDMETHODIMP GetContainer(IOleContainer** out) override;
  STDMETHODIMP ShowObject() override { return Unexpected("Site::ShowObject"); }
  STDMETHODIMP OnShowWindow(BOOL) override { return Unexpected("Site::OnShowWindow"); }
  STDMETHODIMP RequestNewObjectLayout() override { return Unexpected("Site::RequestNewObjectLayout"); }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return Unexpected("Site::ContextSensitiveHelp"); }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override;
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return Unexpected("Site::Scroll"); }
  STDMETHODIMP OnUIDeactivate(BOOL) override;
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override { return Unexpected("Site::DiscardUndoState"); }
  STDMETHODIMP DeactivateAndUndo() override { return Unexpected("Site::DeactivateAndUndo"); }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return Unexpected("Site::OnPosRectChange"); }

  HWND window = nullptr;
  int activations = 0, deactivations = 0, uiActivations = 0, uiDeactivations = 0;
  ComPtr<InPlaceWindow> frame, document;
  // Runs inside OnUIDeactivate and OnInPlaceDeactivate, as a container's own
  // bookkeeping would.
  std::function<void()> onDeactivate;

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
