#include "identity/mac_probe.h"

#include <algorithm>

#include "support/diagnostic_log.h"

namespace vorlane {

ComStatus MacProbe::Connect() {
  Obtained<WbemLocator> locator = wmi_.CreateLocator();
  if (!locator.ok()) {
    LogInfo(u"CreateInstance failed!");
    return locator.status;
  }
  locator_ = std::move(locator.object);

  Obtained<WbemServices> services = locator_->ConnectServer(kWmiNamespace);
  if (!services.ok()) {
    LogInfo(u"ConnectServer failed!");
    return services.status;
  }
  services_ = std::move(services.object);

  // Without it the query may still run under the process's defaults.
  const ComStatus secured = services_->SetProxyBlanket(kServicesBlanket);
  if (IsFailure(secured)) LogInfo(u"CoSetProxyBlanket failed!");
  return secured;
}

std::optional<std::u16string> MacProbe::QueryMacAddress() {
  if (!services_) {
    LogInfo(u"WbemSvr is null");
    return std::nullopt;
  }
  struct ReleaseOnReturn {
    MacProbe& probe;
    ~ReleaseOnReturn() { probe.ReleaseQuery(); }
  } release{*this};

  Obtained<WbemEnumerator> enumerator =
      services_->ExecQuery(kQueryLanguage, std::u16string(kQuerySelect) + kQueryConnectedAdapters, kQueryFlags);
  if (!enumerator.ok()) {
    LogInfo(u"Query failed!");
    return std::nullopt;
  }
  enumerator_ = std::move(enumerator.object);

  // Only the first adapter WMI returns counts; a time-out counts as none.
  Obtained<WbemObject> adapter = enumerator_->Next(kAdapterWait);
  if (!adapter.ok()) {
    LogInfo(u"Get addr failed");
    return std::nullopt;
  }
  adapter_ = std::move(adapter.object);

  WbemObject::Property address = adapter_->Get(kMacAddressProperty);
  if (IsFailure(address.status) || !address.text) return std::nullopt;
  const std::u16string& text = *address.text;
  return text.substr(0, std::min({text.size(), kMacAddressLength, text.find(u'\0')}));
}

void MacProbe::ReleaseQuery() {
  adapter_.reset();
  enumerator_.reset();
}

void MacProbe::ReleaseConnection() {
  services_.reset();
  locator_.reset();
  enumerator_.reset();
}

}  // namespace vorlane
