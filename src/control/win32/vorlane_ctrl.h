#pragma once
// CVorlaneCtrl: the ActiveX control the portal page embeds.
#include <windows.h>
#include <objsafe.h>

#include <memory>

#include "com/win32/control_base.h"
#include "control/control_properties.h"
#include "launch/download/win32/cancel_signal.h"
#include "launch/portal/portal_context.h"
#include "status/status_relay.h"
#include "support/win32/unique_handle.h"

namespace vorlane {

class CVorlaneCtrl : public ControlBase {
 public:
  // A new control answered for iid; E_OUTOFMEMORY when memory ran out.
  static HRESULT Create(REFIID iid, void** out);

  // The control's IObjectSafety: safe for untrusted callers and data, always.
  class XObjSafe : public IObjectSafety {
   public:
    explicit XObjSafe(CVorlaneCtrl& control) : control_(control) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return control_.QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return control_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return control_.Release(); }
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

   private:
    bool ControlAnswers(REFIID iid);
    CVorlaneCtrl& control_;
  };

  // Dispatch members, as the dispatch table names them. Results are BOOLs.
  void AboutBox();
  std::int32_t Run(IDispatch* window);
  using ControlBase::Close;  // IOleObject::Close stays reachable beside the method
  void Close(std::int16_t flag);
  std::int32_t RunCmd(BSTR commandLine, bool wait);
  std::int32_t ResetUrl();
  void GetPCHardInfo(IDispatch* location);

  // The local client's state relayed to this control's window.
  const StatusRelay& Status() const { return statusRelay_; }
  IObjectSafety* ObjectSafety() { return &objectSafety_; }
  // False while the machine's allow-list policy is set (or required) and
  // the hosting page's origin is not on it: the control then refuses to be
  // scripted. Publishes or drops a "type" held until the page was known.
  bool HostingPageMayScript();

  // Fires OnClientMessage with text to every connected sink.
  void FireOnClientMessage(const char16_t* text);
  // The WM_USER+1 notification: `token` names a text (UTF-8 of at most 127
  // bytes) that the status relay handed over, or nothing.
  LRESULT OnClientNotification(NotificationToken token);

 protected:
  ~CVorlaneCtrl() override;
  void DoPropExchange(PropertyExchange& exchange) override;
  std::int32_t CallMember(const DispatchEntry& member, VARIANTARG* args) override;
  void OnDraw(HDC dc, const RECT& bounds) override;
  void OnWindowChanged(HWND window) override;

 private:
  CVorlaneCtrl();
  PageVerdict JudgeHostingPage();

  ControlProperties properties_;
  HeldType heldType_;
  UniqueHandle resetUrlEvent_;
  StatusRelay statusRelay_;
  PortalContext portal_;
  // Shared with every download the control starts; set when it is destroyed.
  std::shared_ptr<CancelSignal> downloadCancel_ = std::make_shared<CancelSignal>();
  XObjSafe objectSafety_{*this};
};

}  // namespace vorlane
