#pragma once
// The base of an ActiveX control: the standard control interfaces, served
// from the tables the concrete control declares (dispatch, event, message,
// interface, property exchange). Apartment model: every call comes on the
// thread that created the control.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <span>

#include "com/dispatch_table.h"
#include "com/framework_properties.h"
#include "com/property_exchange.h"
#include "support/win32/com_ptr.h"
#include "com/win32/connection_point.h"
#include "com/win32/type_info_cache.h"
#include "support/win32/module_lock.h"

namespace vorlane {

class ControlBase;

// A window message the control handles itself; the message is not passed on.
struct MessageEntry {
  UINT message;
  LRESULT (*handler)(ControlBase& control, WPARAM wparam, LPARAM lparam);
};

// An interface beyond the framework's own, answered by the control.
struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*get)(ControlBase& control);
};

// What a concrete control tells the framework about itself.
struct ControlDescription {
  const CLSID* clsid;
  const IID* dispatchIid;
  const IID* eventsIid;
  const GUID* libId;
  WORD libMajor, libMinor;
  UINT userTypeNameString;
  DWORD miscStatus;
  DispatchTable dispatch;
  std::span<const MessageEntry> messages;
  std::span<const InterfaceEntry> interfaces;
  std::span<const CLSID> propertyPages;
};

class ControlBase : public IDispatch,
                    public IConnectionPointContainer,
                    public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObjectEx,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public IPersistStorage,
                    public IProvideClassInfo2,
                    public ISpecifyPropertyPages,
                    public IQuickActivate {
 public:
  explicit ControlBase(const ControlDescription& description);
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  // The control's identity.
  IUnknown* Identity() { return static_cast<IDispatch*>(this); }
  HWND Window() const { return window_; }

  // Calls OnClientMessage-style events: Invoke with DISPATCH_METHOD on every
  // sink of the event point, one after another; a failing sink is skipped.
  void FireEvent(DISPID dispid, std::span<VARIANTARG> argsInOrder);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch (control_dispatch.cpp)
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override;

  // IConnectionPointContainer (control_connection_points.cpp)
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // IOleObject (control_ole_object.cpp)
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** out) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** out) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent, LPCRECT rect) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject (control_in_place.cpp)
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // IOleControl, IProvideClassInfo2, ISpecifyPropertyPages, IQuickActivate
  // (control_class_info.cpp)
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* msg) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;
  STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;
  STDMETHODIMP GetPages(CAUUID* pages) override;
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;

  // IViewObject2 and IViewObjectEx (control_view.cpp)
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc, HDC dc,
                    LPCRECTL bounds, LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                    ULONG_PTR contArg) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                           LOGPALETTE** palette) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;
  STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) override;
  STDMETHODIMP GetViewStatus(DWORD* status) override;
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG closeHint, DWORD* hit) override;
  STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT area, LONG closeHint, DWORD* hit) override;
  STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, HDC targetDc,
                                DVEXTENTINFO* info, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
  // (control_persist.cpp)
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHODIMP SaveCompleted(IStorage* storage) override;
  STDMETHODIMP HandsOffStorage() override;

 protected:
  virtual ~ControlBase();

  // The control's own properties, after the framework's.
  virtual void DoPropExchange(PropertyExchange& exchange) = 0;
  // Runs a dispatch member with its arguments converted, in declared order.
  virtual std::int32_t CallMember(const DispatchEntry& member, VARIANTARG* args) = 0;
  virtual void OnDraw(HDC dc, const RECT& bounds) = 0;
  // A reset to defaults, then a redraw.
  virtual void OnResetState();
  // The properties verb: the site's property frame, else one of our own.
  virtual HRESULT OnProperties(HWND parent);
  // The window was created (handle) or destroyed (null).
  virtual void OnWindowChanged(HWND) {}

  void InvalidateControl();

 private:
  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);

  // The whole exchange: the framework's properties, then the control's.
  void ExchangeProperties(PropertyExchange& exchange);
  HRESULT LoadFrom(PropertyStore& store);
  HRESULT SaveTo(PropertyStore& store);
  HRESULT InPlaceActivate(LONG verb);
  HRESULT CreateControlWindow(HWND parent, const RECT& position);
  void DestroyControlWindow();
  // The window is going away, whoever destroys it (its parent, say).
  void ForgetWindow(HWND window);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  HRESULT ResolveNames(LPOLESTR* names, UINT count, DISPID* ids);
  HRESULT InvokeMember(const DispatchEntry& member, DISPPARAMS* params, VARIANT* result, UINT* argError);

  const ControlDescription& description_;
  std::atomic<ULONG> references_{1};
  ModuleReference module_;
  bool initialised_ = false;
  bool dirty_ = false;
  FrameworkProperties properties_;

  ConnectionPoint eventsPoint_;
  ConnectionPoint propertyNotifyPoint_;
  TypeInfoCache typeInfo_;

  ComPtr<IOleClientSite> site_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0, viewFlags_ = 0;

  ComPtr<IOleInPlaceSite> inPlaceSite_;
  // The site's frame and document window while in-place active; told of the
  // active object while UI active.
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> document_;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  HWND window_ = nullptr;
  RECT position_ = {};
};

}  // namespace vorlane
