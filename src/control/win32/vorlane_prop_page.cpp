#include "control/win32/vorlane_prop_page.h"

#include <cwchar>
#include <new>

#include "com/win32/guid.h"
#include "control/identifiers.h"
#include "support/win32/com_ptr.h"
#include "support/win32/gdi_object.h"
#include "support/win32/module_instance.h"
#include "support/win32/screen_dc.h"

namespace vorlane {
namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

LPOLESTR CopyToTaskMemory(const wchar_t* text, int length) {
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((length + 1) * sizeof(wchar_t)));
  if (copy) {
    std::wmemcpy(copy, text, length);
    copy[length] = 0;
  }
  return copy;
}

// The page's size in pixels: its template's dialog units scaled by the
// template font's base units, as dialogs are laid out.
SIZE TemplateSizeInPixels(HINSTANCE instance, int dialogId) {
  SIZE size = {0, 0};
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(dialogId), reinterpret_cast<LPCWSTR>(RT_DIALOG));
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (!words) return size;
  bool extended = words[0] == 1 && words[1] == 0xFFFF;
  // DLGTEMPLATEEX: cx, cy at words 11, 12; DLGTEMPLATE: at words 7, 8.
  short cx = short(extended ? words[11] : words[7]);
  short cy = short(extended ? words[12] : words[8]);

  ScreenDc screen;
  if (!screen) return size;
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(9, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  std::wcscpy(font.lfFaceName, L"MS Shell Dlg");
  GdiObject handle(CreateFontIndirectW(&font));
  HGDIOBJ previous = SelectObject(screen.Get(), handle.Get());
  TEXTMETRICW metrics = {};
  GetTextMetricsW(screen.Get(), &metrics);
  SIZE letters = {};
  const wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32W(screen.Get(), alphabet, 52, &letters);
  SelectObject(screen.Get(), previous);

  int baseX = (letters.cx / 26 + 1) / 2, baseY = metrics.tmHeight;
  size.cx = MulDiv(cx, baseX, 4);
  size.cy = MulDiv(cy, baseY, 8);
  return size;
}

}  // namespace

HRESULT CVorlanePropPage::Create(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto page = ComPtr<CVorlanePropPage>::Adopt(new (std::nothrow) CVorlanePropPage());
  if (!page) return E_OUTOFMEMORY;
  return page->QueryInterface(iid, out);
}

CVorlanePropPage::~CVorlanePropPage() { Deactivate(); }

STDMETHODIMP CVorlanePropPage::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPropertyPage) {
    *out = static_cast<IPropertyPage*>(this);
  } else if (iid == IID_IPersist) {
    *out = static_cast<IPersist*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::SetPageSite(IPropertyPageSite* site) {
  site_ = ComPtr<IPropertyPageSite>(site);
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (dialog_) return E_UNEXPECTED;
  dialog_ = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(kPropPageDialogId), parent, PageProc, 0);
  if (!dialog_) return HRESULT_FROM_WIN32(GetLastError());
  if (rect) Move(rect);
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::Deactivate() {
  if (dialog_) DestroyWindow(dialog_);
  dialog_ = nullptr;
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  const wchar_t* caption = nullptr;
  int length = LoadStringW(ModuleInstance(), kPropPageCaptionString, reinterpret_cast<LPWSTR>(&caption), 0);
  info->cb = sizeof(PROPPAGEINFO);
  info->pszTitle = CopyToTaskMemory(length > 0 ? caption : L"", length > 0 ? length : 0);
  if (!info->pszTitle) return E_OUTOFMEMORY;
  info->size = TemplateSizeInPixels(ModuleInstance(), kPropPageDialogId);
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::SetObjects(ULONG count, IUnknown** objects) {
  return (count && !objects) ? E_POINTER : S_OK;
}

STDMETHODIMP CVorlanePropPage::Show(UINT command) {
  if (!dialog_) return E_UNEXPECTED;
  ShowWindow(dialog_, int(command));
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (!dialog_) return E_UNEXPECTED;
  MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  return S_OK;
}

STDMETHODIMP CVorlanePropPage::IsPageDirty() { return S_FALSE; }
STDMETHODIMP CVorlanePropPage::Apply() { return S_OK; }
STDMETHODIMP CVorlanePropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP CVorlanePropPage::TranslateAccelerator(MSG* msg) {
  return (dialog_ && msg && IsDialogMessageW(dialog_, msg)) ? S_OK : S_FALSE;
}

STDMETHODIMP CVorlanePropPage::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = AsGuid(kPropPageClsid);
  return S_OK;
}

}  // namespace vorlane
