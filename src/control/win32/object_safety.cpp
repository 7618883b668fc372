// XObjSafe: the control declares itself safe for scripting and for
// initialisation from page data, for every interface it has.
#include <objsafe.h>

#include "com/object_safety.h"
#include "control/win32/vorlane_ctrl.h"
#include "page/win32/html_page.h"
#include "policy/allow_list.h"
#include "policy/win32/registry_allow_list.h"
#include "support/win32/com_ptr.h"

namespace vorlane {

static_assert(kSafetyOptionsSupported == (INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA));

bool CVorlaneCtrl::XObjSafe::ControlAnswers(REFIID iid) {
  ComPtr<IUnknown> probe;
  return SUCCEEDED(control_.QueryInterface(iid, probe.PutVoid()));
}

STDMETHODIMP CVorlaneCtrl::XObjSafe::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  *supported = kSafetyOptionsSupported;
  *enabled = kSafetyOptionsSupported;
  return ControlAnswers(iid) ? S_OK : E_NOINTERFACE;
}

// Nothing is stored: the control is safe for both purposes always, except
// on a page that the machine's allow-list does not name.
STDMETHODIMP CVorlaneCtrl::XObjSafe::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
  if (!ControlAnswers(iid)) return E_NOINTERFACE;
  if (!control_.HostingPageMayScript()) return E_FAIL;
  return AcceptsSafetyOptions(mask, enabled) ? S_OK : E_FAIL;
}

bool CVorlaneCtrl::HostingPageMayScript() {
  ComPtr<IOleClientSite> site;
  GetClientSite(site.Put());
  RegistryAllowList policy;
  std::unique_ptr<Page> page = OpenHostingDocument(site.Get());
  return PageMayScript(policy, *page);
}

}  // namespace vorlane
