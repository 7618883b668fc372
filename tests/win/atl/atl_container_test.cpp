// The control inside a container that none of us wrote: ATL's AtlAxWin,
// which creates it from its ProgID, activates it, and hands out its pointer.
#include <ole2.h>

#include <gmock/gmock.h>

#include <string>

#include "common/atl_api.h"
#include "support/win32/com_ptr.h"
#include "event_sink.h"
#include "common/message_pump.h"
#include "control/identifiers.h"

namespace vorlane::tests {
namespace {


const IID kEvents = *reinterpret_cast<const IID*>(&kEventsIid);
constexpr UINT kNotifyMessage = WM_USER + 1;

std::wstring BesideSuite(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

HRESULT CallExport(const std::wstring& file, const char* name) {
  HMODULE module = LoadLibraryW(file.c_str());
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  HRESULT hr = entry ? entry() : E_FAIL;
  FreeLibrary(module);
  return hr;
}

class AtlContainer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    ASSERT_EQ(S_OK, CallExport(BesideSuite(L"vorlane.ocx"), "DllRegisterServer"));
    ASSERT_TRUE(atl_.Load());
  }

  void SetUp() override {
    ASSERT_TRUE(atl_.AxWinInit);
    frame_ = CreateWindowExW(0, L"STATIC", L"portal", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 200, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, frame_);
    container_ = CreateWindowExW(0, L"AtlAxWin", L"Vorlane.VorlaneCtrl.1", WS_CHILD | WS_VISIBLE, 10, 10, 200,
                                 100, frame_, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, container_);
    ASSERT_EQ(S_OK, atl_.AxGetControl(container_, control_.Put()));
    ASSERT_TRUE(control_);
    tests::PumpFor(50);
  }

  void TearDown() override {
    control_.Reset();
    if (container_) DestroyWindow(container_);
    if (frame_) DestroyWindow(frame_);
  }

  HWND ControlWindow() {
    ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (SUCCEEDED(control_->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid())))
      inPlace->GetWindow(&window);
    return window;
  }

  static inline AtlApi atl_;
  HWND frame_ = nullptr;
  HWND container_ = nullptr;
  ComPtr<IUnknown> control_;
};

TEST_F(AtlContainer, CreatesTheControlByProgIdAndActivatesItInItsWindow) {
  ComPtr<IPersist> persist;
  ASSERT_EQ(S_OK, control_->QueryInterface(IID_IPersist, persist.PutVoid()));
  CLSID clsid{};
  persist->GetClassID(&clsid);
  EXPECT_TRUE(IsEqualGUID(*reinterpret_cast<const CLSID*>(&kControlClsid), clsid));

  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(IsChild(container_, window));
  EXPECT_TRUE(IsWindowVisible(window));
  RECT bounds{};
  GetClientRect(window, &bounds);
  EXPECT_EQ(200, bounds.right);
  EXPECT_EQ(100, bounds.bottom);
}

// The control's own painting, in its window: white bounds, the ellipse's
// outline in the pen's black at the top middle.
TEST_F(AtlContainer, PaintsItsWindow) {
  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE));  // the paint was handled

  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // The same drawing through the view object, into a bitmap we can read.
  ComPtr<IViewObject> view;
  ASSERT_EQ(S_OK, control_->QueryInterface(IID_IViewObject, view.PutVoid()));
  RECTL rect{0, 0, 200, 100};
  EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &rect, nullptr, nullptr, 0));
  EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 1, 1));
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(memory, 100, 0));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
}

TEST_F(AtlContainer, AnswersDispatchThroughTheContainersPointer) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, control_->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
  LPOLESTR name = const_cast<LPOLESTR>(L"ResetUrl");
  DISPID id = 0;
  ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  EXPECT_EQ(1003, id);
  DISPPARAMS none{};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
  EXPECT_EQ(VT_BOOL, V_VT(&result));
  EXPECT_EQ(VARIANT_FALSE, V_BOOL(&result));

  // By the type library, as a script engine with a locale resolves names.
  name = const_cast<LPOLESTR>(L"RunCmd");
  ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x0409, &id));
  EXPECT_EQ(1002, id);
}

// A sink advised through the container is connected to the control's event
// point, and hears nothing of a WM_USER+1 that the control's own status relay
// did not send: a real text's address, a wild one, zero.
TEST_F(AtlContainer, ASinkAdvisedThroughTheContainerIsConnectedAndHearsNoForeignNotification) {
  auto sink = ComPtr<host::EventSink>::Adopt(new host::EventSink(kEvents, nullptr));
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, atl_.Advise(control_.Get(), sink.Get(), kEvents, &cookie));
  auto connections = [&] {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    ComPtr<IEnumConnections> listed;
    if (FAILED(control_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) ||
        FAILED(container->FindConnectionPoint(kEvents, point.Put())) || FAILED(point->EnumConnections(listed.Put())))
      return -1;
    int count = 0;
    for (CONNECTDATA data{}; listed->Next(1, &data, nullptr) == S_OK; ++count) data.pUnk->Release();
    return count;
  };
  EXPECT_EQ(1, connections());

  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  for (WPARAM foreign : {reinterpret_cast<WPARAM>("Connected"), WPARAM(0xDEAD0000BEEF), WPARAM(0)})
    EXPECT_EQ(0, SendMessageW(window, kNotifyMessage, foreign, 0));
  EXPECT_TRUE(sink->Received().empty());
  EXPECT_TRUE(IsWindow(window));

  ASSERT_EQ(S_OK, atl_.Unadvise(control_.Get(), kEvents, cookie));
  EXPECT_EQ(0, connections());
}

// Destroying the container's window releases the control: its window goes,
// the module answers that nothing is in use, and COM can unload it.
TEST_F(AtlContainer, TearsDownWithoutStaleWindowAndTheModuleUnloads) {
  HWND window = ControlWindow();
  ASSERT_NE(nullptr, window);
  HMODULE module = GetModuleHandleW(L"vorlane.ocx");
  ASSERT_NE(nullptr, module);
  auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(nullptr, canUnload);
  EXPECT_EQ(S_FALSE, canUnload());

  control_.Reset();
  DestroyWindow(container_);
  container_ = nullptr;
  tests::PumpFor(50);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(S_OK, canUnload());
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_EQ(nullptr, GetModuleHandleW(L"vorlane.ocx"));
}

}  // namespace
}  // namespace vorlane::tests
