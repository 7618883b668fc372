// Activation, drawing, safety, the About box, the property page and lifetime.
#include <gtest/gtest.h>
#include <objsafe.h>
#include <olectl.h>

#include "common/message_box_watcher.h"
#include "control/win32/vorlane_prop_page.h"
#include "support/win32/module_lock.h"
#include "test_container.h"

namespace vorlane::tests {
namespace {

const IID kSystemObjectSafety = {0xCB5BDC81, 0x93C1, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const CLSID kPropPage = {0xE0B529AF, 0xD370, 0x4795, {0xA7, 0xFA, 0x73, 0xBA, 0x30, 0x2E, 0x9D, 0xF6}};

TEST(ControlWindow, InPlaceActivationMakesAChildOfTheSiteWindow) {
  ComPtr<IDispatch> control = NewInitialisedControl();
  ComPtr<Site> site = ComPtr<Site>::Adopt(new Site());
  ComPtr<IOleObject> ole = control.As<IOleObject>(IID_IOleObject);
  ole->SetClientSite(site.Get());
  ASSERT_EQ(ole->DoVerb(OLEIVERB_SHOW, nullptr, site.Get(), 0, site->window, nullptr), S_OK);
  HWND window = nullptr;
  ASSERT_EQ(control.As<IOleWindow>(IID_IOleWindow)->GetWindow(&window), S_OK);
  EXPECT_EQ(GetParent(window), site->window);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 100);
  EXPECT_EQ(client.bottom, 50);
  EXPECT_EQ(site->activations, 1);
  ole->Close(OLECLOSE_NOSAVE);
  EXPECT_FALSE(IsWindow(window));
}

TEST(ControlWindow, ObjectFacts) {
  ComPtr<IDispatch> control = NewControl();
  ComPtr<IOleObject> ole = control.As<IOleObject>(IID_IOleObject);
  DWORD misc = 0;
  EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_EQ(misc, 131473u);
  SIZEL extent = {};
  EXPECT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(MulDiv(extent.cx, 96, 2540), 100);
  EXPECT_EQ(MulDiv(extent.cy, 96, 2540), 50);
  LPOLESTR type = nullptr;
  ASSERT_EQ(ole->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
  EXPECT_STREQ(type, L"Vorlane  Control");
  CoTaskMemFree(type);
  CLSID clsid = {};
  EXPECT_EQ(control.As<IPersistStreamInit>(IID_IPersistStreamInit)->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid.Data1, 0x44575D42u);

  ComPtr<ISpecifyPropertyPages> specify = control.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
  CAUUID pages = {};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  ASSERT_EQ(pages.cElems, 1u);
  EXPECT_TRUE(IsEqualGUID(pages.pElems[0], kPropPage));
  CoTaskMemFree(pages.pElems);

  GUID source = {};
  EXPECT_EQ(control.As<IProvideClassInfo2>(IID_IProvideClassInfo2)->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source),
            S_OK);
  EXPECT_EQ(source.Data1, 0xBEE2B8CDu);
}

TEST(ControlWindow, DrawPaintsWhiteWithAnInscribedEllipse) {
  ComPtr<IDispatch> control = NewControl();
  ComPtr<IViewObject2> view = control.As<IViewObject2>(IID_IViewObject2);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 50);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  RECT all = {0, 0, 100, 50};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  RECTL bounds = {0, 0, 100, 50};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
  const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), white);    // corner: filled, outside the ellipse
  EXPECT_EQ(GetPixel(dc, 99, 49), white);
  EXPECT_EQ(GetPixel(dc, 50, 25), white);  // inside: the default white brush
  EXPECT_EQ(GetPixel(dc, 50, 0), black);   // the outline touches the bounds
  EXPECT_EQ(GetPixel(dc, 0, 25), black);

  // Without a drawing context nothing happens.
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0), S_OK);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(ControlWindow, ObjectSafetyAnswers) {
  ComPtr<IDispatch> control = NewControl();
  ComPtr<IObjectSafety> safety = control.As<IObjectSafety>(kSystemObjectSafety);
  ASSERT_TRUE(safety);
  DWORD supported = 0, enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(enabled, 3u);
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersistPropertyBag, &supported, &enabled), S_OK);
  supported = enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled), E_NOINTERFACE);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(enabled, 3u);

  for (auto [mask, on] : {std::pair{1, 1}, {2, 2}, {3, 3}, {0, 0}, {1, 3}}) {
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, mask, on), S_OK) << mask << "," << on;
  }
  for (auto [mask, on] : {std::pair{1, 0}, {3, 1}, {4, 4}, {8, 8}}) {
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, mask, on), E_FAIL) << mask << "," << on;
  }
  EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IClassFactory, 1, 1), E_NOINTERFACE);
}

TEST(ControlWindow, AboutBoxReturnsWhenItsButtonIsPressed) {
  ComPtr<IDispatch> control = NewInitialisedControl();
  MessageBoxWatcher watcher(u"\u5173\u4e8e Vorlane \u63a7\u4ef6");
  DISPPARAMS none = {};
  EXPECT_EQ(control->Invoke(DISPID_ABOUTBOX, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(watcher.Seen().size(), 1u);
}

TEST(ControlWindow, PropertyPageMakesItsDialog) {
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(CVorlanePropPage::Create(IID_IPropertyPage, page.PutVoid()), S_OK);
  PROPPAGEINFO info = {};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_STREQ(info.pszTitle, L"\u5e38\u89c4");
  EXPECT_GT(info.size.cx, info.size.cy);
  CoTaskMemFree(info.pszTitle);

  ComPtr<Site> host = ComPtr<Site>::Adopt(new Site());
  RECT area = {0, 0, info.size.cx, info.size.cy};
  ASSERT_EQ(page->Activate(host->window, &area, TRUE), S_OK);
  HWND dialog = FindWindowExW(host->window, nullptr, L"#32770", nullptr);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD, WS_CHILD);
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(dialog));

  CLSID clsid = {};
  EXPECT_EQ(page.As<IPersist>(IID_IPersist)->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualGUID(clsid, kPropPage));
}

TEST(ControlWindow, ModuleCountReturnsToZeroWhenObjectsAreReleased) {
  long before = ModuleLock::Count();
  {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ComPtr<IPropertyPage> page;
    CVorlanePropPage::Create(IID_IPropertyPage, page.PutVoid());
    ComPtr<IConnectionPointContainer> container = control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IEnumConnectionPoints> points;
    container->EnumConnectionPoints(points.Put());
    EXPECT_GT(ModuleLock::Count(), before);
  }
  EXPECT_EQ(ModuleLock::Count(), before);
}

}  // namespace
}  // namespace vorlane::tests
