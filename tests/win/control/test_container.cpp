#include "test_container.h"

#include <gtest/gtest.h>

#include <thread>

#include "control/win32/vorlane_ctrl.h"

namespace vorlane::tests {
namespace {

template <typename T>
HRESULT Answer(T* object, void** out) {
  *out = object;
  object->AddRef();
  return S_OK;
}

LRESULT CALLBACK SiteWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

const IID kEventsIid = {0xBEE2B8CD, 0x966C, 0x4465, {0x89, 0x4A, 0xF4, 0x46, 0xA8, 0x0C, 0xE3, 0x91}};

}  // namespace

HRESULT Unexpected(const char* call) {
  ADD_FAILURE() << "unexpected call " << call;
  return E_NOTIMPL;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  if (iid == kEventsIid && forEvents) return Answer(forEvents.Get(), out);
  if (iid == IID_IDispatch && forDispatch) return Answer(forDispatch.Get(), out);
  if (iid == IID_IUnknown || iid == kEventsIid || (iid == IID_IDispatch && answersDispatch))
    return Answer(static_cast<IDispatch*>(this), out);
  *out = nullptr;
  return E_NOINTERFACE;
}
STDMETHODIMP EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                               UINT*) {
  ++calls;
  if (failing_) return E_FAIL;
  if (dispid == 1 && flags == DISPATCH_METHOD && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR) {
    received.push_back(Bstr::ToText(params->rgvarg[0].bstrVal));
  }
  return S_OK;
}

STDMETHODIMP PropertyBag::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) return Answer(static_cast<IPropertyBag*>(this), out);
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  auto found = params.find(reinterpret_cast<const char16_t*>(name));
  if (found == params.end()) return E_INVALIDARG;
  value->vt = VT_BSTR;
  value->bstrVal = Bstr(found->second).Detach();
  return S_OK;
}

STDMETHODIMP PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  std::u16string key = reinterpret_cast<const char16_t*>(name);
  written.emplace_back(key, value->vt);
  Variant text;
  if (SUCCEEDED(VariantChangeType(text.Get(), value, 0, VT_BSTR))) writtenText[key] = Bstr::ToText(text->bstrVal);
  return S_OK;
}

STDMETHODIMP InPlaceWindow::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
    return Answer(static_cast<IOleInPlaceFrame*>(this), out);
  *out = nullptr;
  return E_NOINTERFACE;
}
STDMETHODIMP InPlaceWindow::GetWindow(HWND* out) {
  *out = window_;
  return S_OK;
}
STDMETHODIMP InPlaceWindow::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  activeObjects.emplace_back(object);
  return S_OK;
}

Site::Site() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = SiteWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VorlaneTestSite";
  RegisterClassW(&windowClass);
  window = CreateWindowExW(0, L"VorlaneTestSite", L"site", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  frame = ComPtr<InPlaceWindow>::Adopt(new InPlaceWindow(window));
  document = ComPtr<InPlaceWindow>::Adopt(new InPlaceWindow(window));
}

Site::~Site() { DestroyWindow(window); }

STDMETHODIMP Site::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) return Answer(static_cast<IOleClientSite*>(this), out);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) return Answer(static_cast<IOleInPlaceSite*>(this), out);
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP Site::GetMoniker(DWORD, DWORD, IMoniker** out) {
  *out = nullptr;
  return Unexpected("Site::GetMoniker");
}
STDMETHODIMP Site::GetContainer(IOleContainer** out) {
  *out = nullptr;
  return Unexpected("Site::GetContainer");
}
STDMETHODIMP Site::GetWindow(HWND* out) {
  *out = window;
  return S_OK;
}
STDMETHODIMP Site::OnInPlaceActivate() {
  ++activations;
  return S_OK;
}
STDMETHODIMP Site::OnInPlaceDeactivate() {
  ++deactivations;
  if (onDeactivate) onDeactivate();
  return S_OK;
}
STDMETHODIMP Site::OnUIActivate() {
  ++uiActivations;
  return S_OK;
}
STDMETHODIMP Site::OnUIDeactivate(BOOL) {
  ++uiDeactivations;
  if (onDeactivate) onDeactivate();
  return S_OK;
}
STDMETHODIMP Site::GetWindowContext(IOleInPlaceFrame** frameOut, IOleInPlaceUIWindow** doc, LPRECT position,
                                    LPRECT clip, LPOLEINPLACEFRAMEINFO) {
  frame->AddRef();
  *frameOut = frame.Get();
  document->AddRef();
  *doc = document.Get();
  *position = {10, 10, 110, 60};
  *clip = *position;
  return S_OK;
}

DWORD Connect(IUnknown* control, IUnknown* sink) {
  ComPtr<IConnectionPointContainer> container = ComPtr<IUnknown>(control).As<IConnectionPointContainer>(
      IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  if (container && SUCCEEDED(container->FindConnectionPoint(kEventsIid, point.Put()))) point->Advise(sink, &cookie);
  return cookie;
}

void RunOnOtherThreadWhilePumping(const std::function<void()>& work) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  worker.join();
}

ComPtr<IDispatch> NewControl() {
  ComPtr<IDispatch> control;
  CVorlaneCtrl::Create(IID_IDispatch, control.PutVoid());
  return control;
}

ComPtr<IDispatch> NewInitialisedControl() {
  ComPtr<IDispatch> control = NewControl();
  if (ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit)) persist->InitNew();
  return control;
}

}  // namespace vorlane::tests

namespace vorlane::tests {
namespace {

// The control lives in a single-threaded apartment, as in a browser.
class OleApartment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

const auto* const kApartment = ::testing::AddGlobalTestEnvironment(new OleApartment);

}  // namespace
}  // namespace vorlane::tests
