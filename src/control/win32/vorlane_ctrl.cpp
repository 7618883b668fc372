#include "control/win32/vorlane_ctrl.h"

#include <iterator>
#include <new>

#include "com/win32/com_boundary.h"
#include "com/win32/com_error.h"
#include "com/win32/guid.h"
#include "control/control_tables.h"
#include "control/identifiers.h"
#include "launch/process/win32/reset_url.h"
#include "status/notification_text.h"
#include "status/win32/win32_status_relay.h"
#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"
#include "support/win32/entry_boundaries.h"

namespace vorlane {

static_assert(kControlMiscStatus == (OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST));

namespace {

CVorlaneCtrl& Self(ControlBase& control) { return static_cast<CVorlaneCtrl&>(control); }

const MessageEntry kMessageTable[] = {
    {WM_TIMER, [](ControlBase&, WPARAM, LPARAM) -> LRESULT { return 0; }},
    {kNotifyMessage,
     [](ControlBase& control, WPARAM token, LPARAM) -> LRESULT {
       return Self(control).OnClientNotification(static_cast<NotificationToken>(token));
     }},
};

const InterfaceEntry kInterfaceTable[] = {
    {&AsGuid(kObjectSafetyIid), [](ControlBase& control) -> IUnknown* { return Self(control).ObjectSafety(); }},
};

struct MemberBody {
  DispId dispid;
  std::int32_t (*call)(CVorlaneCtrl& control, VARIANTARG* args);
};

// One body per dispatch entry, in the table's order.
constexpr MemberBody kMemberBodies[] = {
    {kDispIdAboutBox, [](CVorlaneCtrl& c, VARIANTARG*) { return c.AboutBox(), 0; }},
    {kDispIdRun, [](CVorlaneCtrl& c, VARIANTARG* a) { return c.Run(a[0].pdispVal); }},
    {kDispIdClose, [](CVorlaneCtrl& c, VARIANTARG* a) { return c.Close(a[0].iVal), 0; }},
    {kDispIdRunCmd, [](CVorlaneCtrl& c, VARIANTARG* a) { return c.RunCmd(a[0].bstrVal, a[1].boolVal != 0); }},
    {kDispIdResetUrl, [](CVorlaneCtrl& c, VARIANTARG*) { return c.ResetUrl(); }},
    {kDispIdGetPCHardInfo, [](CVorlaneCtrl& c, VARIANTARG* a) { return c.GetPCHardInfo(a[0].pdispVal), 0; }},
};

constexpr bool BodiesMatchDispatchTable() {
  if (std::size(kMemberBodies) != std::size(kControlDispatchTable)) return false;
  for (std::size_t index = 0; index < std::size(kMemberBodies); ++index) {
    if (kMemberBodies[index].dispid != kControlDispatchTable[index].dispid) return false;
  }
  return true;
}
static_assert(BodiesMatchDispatchTable(), "every dispatch entry needs its member body, in the same order");

const CLSID kPropertyPages[] = {AsGuid(kPropPageClsid)};

const ControlDescription kDescription = {
    &AsGuid(kControlClsid),
    &AsGuid(kDispatchIid),
    &AsGuid(kEventsIid),
    &AsGuid(kLibId),
    kTypeLibMajor,
    kTypeLibMinor,
    kControlTypeNameString,
    kControlMiscStatus,
    kControlDispatchTable,
    kMessageTable,
    kInterfaceTable,
    kPropertyPages,
};

}  // namespace

CVorlaneCtrl::CVorlaneCtrl()
    : ControlBase(kDescription),
      // An event of that name made elsewhere is opened with its state kept;
      // without either the control works on and ResetUrl answers false.
      resetUrlEvent_(CreateEventW(nullptr, TRUE, FALSE, kResetUrlEventName)),
      statusRelay_(Win32StatusRelayPorts()) {}

// Destroys the window first, while the whole control still handles its
// messages (the pollers then see no window), stops a running poller without
// waiting for it, and tells its downloads to stop quietly.
CVorlaneCtrl::~CVorlaneCtrl() {
  InPlaceDeactivate();
  statusRelay_.Stop();
  downloadCancel_->Cancel();
}

HRESULT CVorlaneCtrl::Create(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return ComBoundary([&] {
    auto control = ComPtr<CVorlaneCtrl>::Adopt(new CVorlaneCtrl());
    return control->QueryInterface(iid, out);
  });
}

void CVorlaneCtrl::DoPropExchange(PropertyExchange& exchange) {
  ExchangeControlProperties(exchange, properties_, heldType_, JudgeHostingPage());
}

std::int32_t CVorlaneCtrl::CallMember(const DispatchEntry& member, VARIANTARG* args) {
  if (!HostingPageMayScript()) throw ComError(E_ACCESSDENIED, "page not on the allow-list");
  for (const MemberBody& body : kMemberBodies) {
    if (body.dispid == member.dispid) return body.call(*this, args);
  }
  return 0;
}

void CVorlaneCtrl::OnDraw(HDC dc, const RECT& bounds) {
  if (!dc) return;
  FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  Ellipse(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
}

void CVorlaneCtrl::OnWindowChanged(HWND window) { statusRelay_.SetWindow(reinterpret_cast<WindowHandle>(window)); }

void CVorlaneCtrl::FireOnClientMessage(const char16_t* text) {
  Bstr state(text);
  VARIANTARG arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = state.Get();
  FireEvent(kDispIdOnClientMessage, {&arg, 1});
}

LRESULT CVorlaneCtrl::OnClientNotification(NotificationToken token) {
  return WindowMessageBoundary([&]() -> LRESULT {
    // A token the relay did not hand over (anyone may send this message) is
    // ignored: nothing is read through it.
    if (std::optional<std::u16string> text = statusRelay_.TakeEventText(token)) FireOnClientMessage(text->c_str());
    return 0;
  });
}

}  // namespace vorlane
