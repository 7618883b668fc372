#pragma once
// One control embedded in a top-level window of the host, as a browser embeds
// an <object>: created from the registry or from its file, given its client
// site first, initialised from <param> values, activated in place, called by
// name, and released in the order a browser follows.
#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <string>
#include <vector>

#include "container_site.h"
#include "property_bag.h"
#include "support/win32/com_ptr.h"
#include "support/win32/variant.h"

namespace vorlane::host {

struct ControlSource {
  CLSID clsid{};
  // Empty: CoCreateInstance through the registry. Otherwise the .ocx file,
  // loaded with LoadLibrary and asked for its class object.
  std::u16string file;
};

struct CallResult {
  HRESULT hr = E_FAIL;
  DISPID id = DISPID_UNKNOWN;
  Variant value;
};

class HostedControl {
 public:
  // Creates the host window and the control and gives it its client site.
  static HRESULT Create(const ControlSource& source, std::unique_ptr<HostedControl>* out);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  // The page the control is placed on: its client site's container answers
  // as this document.
  void SetPageDocument(IUnknown* document) { site_->SetDocument(document); }
  // What a browser asks before it loads and scripts a control: safe for
  // initialisation (IPersistPropertyBag) and for scripting (IDispatch).
  // The first refusal, or S_OK.
  HRESULT MarkSafe();

  // Loads `params` through IPersistPropertyBag, or initialises as new when null.
  HRESULT Initialize(IPropertyBag* params);
  HRESULT Activate();
  // IPersistPropertyBag::Save into `bag`, all properties.
  HRESULT Save(IPropertyBag* bag);

  HRESULT Advise(IUnknown* sink, REFIID events, DWORD* cookie);
  HRESULT Unadvise(REFIID events, DWORD cookie);

  // GetIDsOfNames with locale 0, then Invoke as a method; `args` in the order written.
  CallResult Call(const std::u16string& name, std::vector<Variant>& args);

  // Sends the control's window WM_USER+1 from another thread of the host with
  // the address of `utf8` as WPARAM, as a sender outside the control would,
  // and pumps until it has been handled. The control takes notifications
  // only from its own status relay, so it must ignore this one. E_HANDLE
  // without a control window.
  HRESULT SendForeignNotification(const std::string& utf8);

  // Deactivates, closes and releases the control; unloads its file when it
  // says it may go, now or at a later FreeUnusedFiles.
  void Release();
  // Unloads the files of released controls that now say they may go; true
  // when none is left held.
  static bool FreeUnusedFiles();
  bool released() const { return !object_; }

  HWND host_window() const { return host_window_; }
  // The in-place object's window; null when not active.
  HWND control_window() const;
  IUnknown* object() const { return object_.Get(); }
  bool in_place_active() const { return site_ && site_->in_place_active(); }

 private:
  HostedControl() = default;
  // Loader references of released controls' files, each kept until its file may go.
  static std::vector<HMODULE>& FilesInUse();

  HWND host_window_ = nullptr;
  HMODULE library_ = nullptr;
  ComPtr<ContainerSite> site_;
  ComPtr<IOleObject> object_;
};

}  // namespace vorlane::host
