// How the control meets its container: UI activation, a window its parent
// destroys, destruction while active, and the view questions a browser asks.
#include <gtest/gtest.h>
#include <ocidl.h>

#include "support/win32/module_lock.h"
#include "control/win32/vorlane_ctrl.h"
#include "test_container.h"

namespace vorlane::tests {
namespace {

// The references an object holds now.
ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class ContainerProtocol : public ::testing::Test {
 protected:
  void SetUp() override {
    control = NewInitialisedControl();
    site = ComPtr<Site>::Adopt(new Site());
    ole = control.As<IOleObject>(IID_IOleObject);
    ASSERT_EQ(ole->SetClientSite(site.Get()), S_OK);
  }
  void TearDown() override {
    if (ole) ole->Close(OLECLOSE_NOSAVE);
  }
  HRESULT Activate(LONG verb) { return ole->DoVerb(verb, nullptr, site.Get(), 0, site->window, nullptr); }
  HWND ControlWindow() {
    HWND window = nullptr;
    control.As<IOleWindow>(IID_IOleWindow)->GetWindow(&window);
    return window;
  }
  CVorlaneCtrl& Control() { return static_cast<CVorlaneCtrl&>(*static_cast<ControlBase*>(control.Get())); }

  ComPtr<IDispatch> control;
  ComPtr<Site> site;
  ComPtr<IOleObject> ole;
};

// The frame and the document learn of the active object, so they can route
// keys and focus to it, and forget it again on deactivation.
TEST_F(ContainerProtocol, UIActivationTellsFrameAndDocumentAndDeactivationClearsIt) {
  ASSERT_EQ(Activate(OLEIVERB_UIACTIVATE), S_OK);
  ComPtr<IOleInPlaceActiveObject> active = control.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
  EXPECT_EQ(site->uiActivations, 1);
  EXPECT_EQ(site->frame->activeObjects, std::vector<IOleInPlaceActiveObject*>{active.Get()});
  EXPECT_EQ(site->document->activeObjects, std::vector<IOleInPlaceActiveObject*>{active.Get()});
  EXPECT_EQ(GetFocus(), ControlWindow());

  ComPtr<IOleInPlaceObject> inPlace = control.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
  ASSERT_EQ(inPlace->UIDeactivate(), S_OK);
  std::vector<IOleInPlaceActiveObject*> setThenCleared = {active.Get(), nullptr};
  EXPECT_EQ(site->frame->activeObjects, setThenCleared);
  EXPECT_EQ(site->document->activeObjects, setThenCleared);
  EXPECT_EQ(site->uiDeactivations, 1);

  // Kept while in-place active, let go of after.
  EXPECT_GT(References(site->frame.Get()), 1u);
  ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(References(site->frame.Get()), 1u);
  EXPECT_EQ(References(site->document.Get()), 1u);
}

TEST_F(ContainerProtocol, InPlaceActivationAloneTellsNoOneOfAnActiveObject) {
  ASSERT_EQ(Activate(OLEIVERB_INPLACEACTIVATE), S_OK);
  EXPECT_TRUE(site->frame->activeObjects.empty());
  EXPECT_TRUE(site->document->activeObjects.empty());
}

// The page destroys the site's window with the control's in it: the control
// and its pollers forget the handle, which may soon name another window.
TEST_F(ContainerProtocol, AWindowDestroyedByItsParentIsForgotten) {
  ASSERT_EQ(Activate(OLEIVERB_INPLACEACTIVATE), S_OK);
  HWND window = ControlWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Control().Status().Window(), reinterpret_cast<WindowHandle>(window));

  DestroyWindow(site->window);
  ASSERT_FALSE(IsWindow(window));
  HWND now = reinterpret_cast<HWND>(1);
  EXPECT_EQ(control.As<IOleWindow>(IID_IOleWindow)->GetWindow(&now), E_FAIL);
  EXPECT_EQ(now, nullptr);
  EXPECT_EQ(Control().Status().Window(), 0u);
}

// A site that takes and drops a reference to the control while the control
// deactivates in its destructor: the control is destroyed once.
TEST(ContainerLifetime, ASiteTouchingTheControlDuringItsDestructionDoesNotDestroyItTwice) {
  long before = ModuleLock::Count();
  ComPtr<Site> site = ComPtr<Site>::Adopt(new Site());
  {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ComPtr<IOleObject> ole = control.As<IOleObject>(IID_IOleObject);
    ASSERT_EQ(ole->SetClientSite(site.Get()), S_OK);
    ASSERT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.Get(), 0, site->window, nullptr), S_OK);
    IUnknown* raw = control.Get();
    site->onDeactivate = [raw] {
      raw->AddRef();
      raw->Release();
    };
  }  // the last reference goes here, without Close
  site->onDeactivate = nullptr;
  EXPECT_EQ(site->uiDeactivations, 1);
  EXPECT_EQ(site->deactivations, 1);
  EXPECT_EQ(ModuleLock::Count(), before);
}

// A browser asks an opaque windowed control what to draw behind it and where
// it can be hit.
TEST(ControlViewEx, AnswersAsAnOpaqueControlThatFillsItsBounds) {
  ComPtr<IDispatch> control = NewControl();
  ComPtr<IViewObjectEx> view = control.As<IViewObjectEx>(IID_IViewObjectEx);
  ASSERT_TRUE(view);
  DWORD status = 0;
  ASSERT_EQ(view->GetViewStatus(&status), S_OK);
  EXPECT_EQ(status, DWORD(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND));

  RECT bounds = {10, 10, 110, 60};
  DWORD hit = 0;
  EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, {60, 35}, 0, &hit), S_OK);
  EXPECT_EQ(hit, DWORD(HITRESULT_HIT));
  EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, {110, 35}, 0, &hit), S_OK);
  EXPECT_EQ(hit, DWORD(HITRESULT_OUTSIDE));
  RECT corner = {100, 50, 200, 200}, away = {200, 200, 300, 300};
  EXPECT_EQ(view->QueryHitRect(DVASPECT_CONTENT, &bounds, &corner, 0, &hit), S_OK);
  EXPECT_EQ(hit, DWORD(HITRESULT_HIT));
  EXPECT_EQ(view->QueryHitRect(DVASPECT_CONTENT, &bounds, &away, 0, &hit), S_OK);
  EXPECT_EQ(hit, DWORD(HITRESULT_OUTSIDE));
  EXPECT_EQ(view->QueryHitPoint(DVASPECT_ICON, &bounds, {60, 35}, 0, &hit), DV_E_DVASPECT);

  // The same view status reaches a container that activates quickly.
  ComPtr<IQuickActivate> quick = control.As<IQuickActivate>(IID_IQuickActivate);
  ComPtr<Site> site = ComPtr<Site>::Adopt(new Site());
  QACONTAINER container = {};
  container.cbSize = sizeof container;
  container.pClientSite = site.Get();
  QACONTROL answer = {};
  answer.cbSize = sizeof answer;
  ASSERT_EQ(quick->QuickActivate(&container, &answer), S_OK);
  EXPECT_EQ(answer.dwViewStatus, status);
  control.As<IOleObject>(IID_IOleObject)->SetClientSite(nullptr);
}

}  // namespace
}  // namespace vorlane::tests
