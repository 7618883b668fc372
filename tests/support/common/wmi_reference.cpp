#include "common/wmi_reference.h"

#include <windows.h>
#include <wbemcli.h>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"
#include "support/win32/variant.h"

namespace vorlane::tests {

std::optional<std::u16string> FirstConnectedAdapterMac() {
  ComPtr<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              locator.PutVoid())))
    return std::nullopt;
  ComPtr<IWbemServices> services;
  if (FAILED(locator->ConnectServer(Bstr(u"ROOT\\CIMV2").Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                    services.Put())))
    return std::nullopt;
  ComPtr<IEnumWbemClassObject> adapters;
  if (FAILED(services->ExecQuery(Bstr(u"WQL").Get(),
                                 Bstr(u"SELECT * FROM Win32_NetworkAdapter where NetConnectionStatus=2").Get(),
                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, adapters.Put())))
    return std::nullopt;
  ComPtr<IWbemClassObject> adapter;
  ULONG count = 0;
  if (adapters->Next(WBEM_INFINITE, 1, adapter.Put(), &count) != WBEM_S_NO_ERROR || count != 1) return std::nullopt;
  Variant mac;
  if (FAILED(adapter->Get(L"MACAddress", 0, mac.Put(), nullptr, nullptr)) || V_VT(mac.Get()) != VT_BSTR)
    return std::nullopt;
  return Bstr::ToText(V_BSTR(mac.Get()));
}

}  // namespace vorlane::tests
