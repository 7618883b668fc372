#pragma once
// The MAC address of the machine's connected network adapter, asked of WMI
// afresh on every call: nothing is cached between calls.
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "identity/wmi_port.h"

namespace vorlane {

constexpr char16_t kWmiNamespace[] = u"ROOT\\CIMV2";
constexpr char16_t kQueryLanguage[] = u"WQL";
constexpr char16_t kQuerySelect[] = u"SELECT * FROM ";
constexpr char16_t kQueryConnectedAdapters[] = u"Win32_NetworkAdapter where NetConnectionStatus=2";
constexpr char16_t kMacAddressProperty[] = u"MACAddress";
// WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY: Next does the waiting.
constexpr std::int32_t kQueryFlags = 32 | 16;
// A stuck WMI service must not freeze the browser: Next waits this long at most.
constexpr std::chrono::milliseconds kAdapterWait{10000};
// RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, RPC_C_AUTHN_LEVEL_CALL,
// RPC_C_IMP_LEVEL_IMPERSONATE, EOAC_NONE.
constexpr ProxyBlanket kServicesBlanket{10, 0, 3, 3, 0};
// At most this many characters of the adapter's address are kept.
constexpr std::size_t kMacAddressLength = 32;

// Holds the locator, the services, the enumerator and the adapter object of
// one probe; whatever is still held is released when the probe goes, also
// when a port call throws.
class MacProbe {
 public:
  explicit MacProbe(WmiPort& wmi) : wmi_(wmi) {}
  MacProbe(const MacProbe&) = delete;
  MacProbe& operator=(const MacProbe&) = delete;
  ~MacProbe() {
    ReleaseQuery();
    ReleaseConnection();
  }

  // Creates the locator and connects to the namespace; the status of the
  // last step that ran.
  ComStatus Connect();
  // The first connected adapter's address, at most kMacAddressLength
  // characters and never past a NUL; nothing when there is none to read.
  // Releases the adapter object and the enumerator before it returns.
  std::optional<std::u16string> QueryMacAddress();
  // Releases the services, the locator and the enumerator, in this order.
  void ReleaseConnection();

 private:
  void ReleaseQuery();

  WmiPort& wmi_;
  std::unique_ptr<WbemLocator> locator_;
  std::unique_ptr<WbemServices> services_;
  std::unique_ptr<WbemEnumerator> enumerator_;
  std::unique_ptr<WbemObject> adapter_;
};

}  // namespace vorlane
