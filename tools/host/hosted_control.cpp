#include "hosted_control.h"

#include <objsafe.h>

#include <thread>
#include <utility>

#include "support/win32/unique_handle.h"
#include "common/message_pump.h"
#include "module_export.h"
#include "status/notification_text.h"
#include "text.h"

namespace vorlane::host {
namespace {

constexpr wchar_t kHostWindowClass[] = L"VorlaneHostWindow";
constexpr int kHostWidth = 400;
constexpr int kHostHeight = 200;

HWND CreateHostWindow() {
  static const ATOM registered = [] {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = kHostWindowClass;
    return RegisterClassW(&window_class);
  }();
  if (!registered) return nullptr;
  HWND window = CreateWindowExW(0, kHostWindowClass, L"vorlane host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, kHostWidth, kHostHeight, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

HRESULT CreateFromFile(const std::u16string& file, REFCLSID clsid, HMODULE* library, IOleObject** out) {
  *library = LoadLibraryW(AsWide(file));
  if (!*library) return HRESULT_FROM_WIN32(GetLastError());
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get_class_object = ExportOf<GetClassObject>(*library, "DllGetClassObject");
  if (!get_class_object) return HRESULT_FROM_WIN32(GetLastError());
  ComPtr<IClassFactory> factory;
  HRESULT hr = get_class_object(clsid, IID_IClassFactory, factory.PutVoid());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(out));
}

}  // namespace

HRESULT HostedControl::Create(const ControlSource& source, std::unique_ptr<HostedControl>* out) {
  std::unique_ptr<HostedControl> control(new HostedControl);
  control->host_window_ = CreateHostWindow();
  if (!control->host_window_) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = source.file.empty()
                   ? CoCreateInstance(source.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                      control->object_.PutVoid())
                   : CreateFromFile(source.file, source.clsid, &control->library_, control->object_.Put());
  if (FAILED(hr)) return hr;
  control->site_ = ComPtr<ContainerSite>::Adopt(new ContainerSite(control->host_window_));
  // The control asks for its site first (OLEMISC_SETCLIENTSITEFIRST), so it can read ambients while loading.
  hr = control->object_->SetClientSite(control->site_.Get());
  if (FAILED(hr)) return hr;
  *out = std::move(control);
  return S_OK;
}

HostedControl::~HostedControl() {
  Release();
  if (host_window_) DestroyWindow(host_window_);
}

HRESULT HostedControl::MarkSafe() {
  if (!object_) return E_UNEXPECTED;
  ComPtr<IObjectSafety> safety;
  HRESULT hr = object_->QueryInterface(IID_IObjectSafety, safety.PutVoid());
  if (FAILED(hr)) return hr;
  hr = safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA,
                                         INTERFACESAFE_FOR_UNTRUSTED_DATA);
  if (FAILED(hr)) return hr;
  return safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                           INTERFACESAFE_FOR_UNTRUSTED_CALLER);
}

HRESULT HostedControl::Initialize(IPropertyBag* params) {
  if (!object_) return E_UNEXPECTED;
  ComPtr<IPersistPropertyBag> persist;
  HRESULT hr = object_->QueryInterface(IID_IPersistPropertyBag, persist.PutVoid());
  if (FAILED(hr)) return hr;
  return params ? persist->Load(params, nullptr) : persist->InitNew();
}

HRESULT HostedControl::Activate() {
  if (!object_) return E_UNEXPECTED;
  RECT area;
  GetClientRect(host_window_, &area);
  return object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, host_window_, &area);
}

HRESULT HostedControl::Save(IPropertyBag* bag) {
  if (!object_) return E_UNEXPECTED;
  ComPtr<IPersistPropertyBag> persist;
  HRESULT hr = object_->QueryInterface(IID_IPersistPropertyBag, persist.PutVoid());
  if (FAILED(hr)) return hr;
  return persist->Save(bag, FALSE, TRUE);
}

HRESULT HostedControl::Advise(IUnknown* sink, REFIID events, DWORD* cookie) {
  if (!object_) return E_UNEXPECTED;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  HRESULT hr = object_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
  if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(events, point.Put());
  if (SUCCEEDED(hr)) hr = point->Advise(sink, cookie);
  return hr;
}

HRESULT HostedControl::Unadvise(REFIID events, DWORD cookie) {
  if (!object_) return E_UNEXPECTED;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  HRESULT hr = object_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
  if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(events, point.Put());
  if (SUCCEEDED(hr)) hr = point->Unadvise(cookie);
  return hr;
}

CallResult HostedControl::Call(const std::u16string& name, std::vector<Variant>& args) {
  CallResult call;
  ComPtr<IDispatch> dispatch;
  if (!object_) {
    call.hr = E_UNEXPECTED;
    return call;
  }
  call.hr = object_->QueryInterface(IID_IDispatch, dispatch.PutVoid());
  if (FAILED(call.hr)) return call;
  Bstr member(name);
  LPOLESTR names[] = {member.Get()};
  call.hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &call.id);
  if (FAILED(call.hr)) return call;
  // Invoke takes the arguments last first.
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT bad_argument = 0;
  call.hr = dispatch->Invoke(call.id, IID_NULL, 0, DISPATCH_METHOD, &params, call.value.Get(), &exception,
                             &bad_argument);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return call;
}

HWND HostedControl::control_window() const {
  ComPtr<IOleInPlaceObject> in_place;
  HWND window = nullptr;
  if (!object_ || FAILED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.PutVoid()))) return nullptr;
  return SUCCEEDED(in_place->GetWindow(&window)) ? window : nullptr;
}

HRESULT HostedControl::SendForeignNotification(const std::string& utf8) {
  HWND window = control_window();
  if (!window) return E_HANDLE;
  UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done.Get()) return HRESULT_FROM_WIN32(GetLastError());
  std::thread sender([&] {
    SendMessageW(window, kNotifyMessage, reinterpret_cast<WPARAM>(utf8.c_str()), 0);
    SetEvent(done.Get());
  });
  // The sender waits for this thread to handle the message, so pump until it has.
  tests::PumpUntil(done.Get(), INFINITE);
  sender.join();
  return S_OK;
}

void HostedControl::Release() {
  if (object_) {
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, in_place.PutVoid())))
      in_place->InPlaceDeactivate();
    in_place.Reset();
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
    tests::PumpPending();
  }
  if (library_) {
    FilesInUse().push_back(std::exchange(library_, nullptr));
    FreeUnusedFiles();
  } else {
    CoFreeUnusedLibraries();
  }
}

// Like a browser: a file goes only when it says nothing of it is in use, and
// one still in use when its control went (a thread of its own still ending)
// is asked again later, as COM's CoFreeUnusedLibraries asks.
bool HostedControl::FreeUnusedFiles() {
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  std::vector<HMODULE>& files = FilesInUse();
  for (auto it = files.begin(); it != files.end();) {
    auto can_unload = ExportOf<CanUnloadNow>(*it, "DllCanUnloadNow");
    if (!can_unload) {
      it = files.erase(it);  // a file that never says so stays loaded
    } else if (can_unload() == S_OK) {
      FreeLibrary(*it);
      it = files.erase(it);
    } else {
      ++it;
    }
  }
  return files.empty();
}

std::vector<HMODULE>& HostedControl::FilesInUse() {
  static std::vector<HMODULE> files;  // the UI thread's alone
  return files;
}

}  // namespace vorlane::host
