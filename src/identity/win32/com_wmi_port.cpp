#include "identity/win32/com_wmi_port.h"

#include <windows.h>
#include <wbemcli.h>

#include <new>

#include "support/win32/bstr.h"
#include "support/win32/com_ptr.h"
#include "support/win32/variant.h"
#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

// A BSTR the call cannot go without: running out of memory ends the call as
// the dispatch layer reports it to the script.
Bstr RequiredBstr(const std::u16string& text) {
  Bstr made(text);
  if (made.Get() == nullptr) throw std::bad_alloc();
  return made;
}

// The port's object over the interface a call handed out, when it succeeded.
template <typename Port, typename Adapter, typename Interface>
Obtained<Port> Handed(HRESULT hr, ComPtr<Interface>& held) {
  Obtained<Port> result{static_cast<ComStatus>(hr), nullptr};
  if (SUCCEEDED(hr) && held) result.object = std::make_unique<Adapter>(std::move(held));
  return result;
}

class ComObject final : public WbemObject {
 public:
  explicit ComObject(ComPtr<IWbemClassObject> object) : object_(std::move(object)) {}
  Property Get(const std::u16string& name) override {
    Variant value;
    Property property{static_cast<ComStatus>(object_->Get(AsWide(name), 0, value.Put(), nullptr, nullptr)),
                      std::nullopt};
    if (SUCCEEDED(property.status) && V_VT(value.Get()) == VT_BSTR)
      property.text = Bstr::ToText(V_BSTR(value.Get()));
    return property;
  }

 private:
  ComPtr<IWbemClassObject> object_;
};

class ComEnumerator final : public WbemEnumerator {
 public:
  explicit ComEnumerator(ComPtr<IEnumWbemClassObject> enumerator) : enumerator_(std::move(enumerator)) {}
  Obtained<WbemObject> Next(std::chrono::milliseconds timeout) override {
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    // WBEM_S_TIMEDOUT and WBEM_S_FALSE are successes that return nothing.
    const HRESULT hr = enumerator_->Next(static_cast<long>(timeout.count()), 1, object.Put(), &returned);
    if (returned != 1) object.Reset();
    return Handed<WbemObject, ComObject>(hr, object);
  }

 private:
  ComPtr<IEnumWbemClassObject> enumerator_;
};

class ComServices final : public WbemServices {
 public:
  explicit ComServices(ComPtr<IWbemServices> services) : services_(std::move(services)) {}
  ComStatus SetProxyBlanket(const ProxyBlanket& blanket) override {
    return CoSetProxyBlanket(services_.Get(), blanket.authenticationService, blanket.authorizationService,
                             nullptr, blanket.authenticationLevel, blanket.impersonationLevel, nullptr,
                             blanket.capabilities);
  }
  Obtained<WbemEnumerator> ExecQuery(const std::u16string& language, const std::u16string& query,
                                     std::int32_t flags) override {
    Bstr languageText = RequiredBstr(language);
    Bstr queryText = RequiredBstr(query);
    ComPtr<IEnumWbemClassObject> enumerator;
    const HRESULT hr = services_->ExecQuery(languageText.Get(), queryText.Get(), flags, nullptr, enumerator.Put());
    return Handed<WbemEnumerator, ComEnumerator>(hr, enumerator);
  }

 private:
  ComPtr<IWbemServices> services_;
};

class ComLocator final : public WbemLocator {
 public:
  explicit ComLocator(ComPtr<IWbemLocator> locator) : locator_(std::move(locator)) {}
  Obtained<WbemServices> ConnectServer(const std::u16string& nameSpace) override {
    Bstr name = RequiredBstr(nameSpace);
    ComPtr<IWbemServices> services;
    const HRESULT hr = locator_->ConnectServer(name.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                               services.Put());
    return Handed<WbemServices, ComServices>(hr, services);
  }

 private:
  ComPtr<IWbemLocator> locator_;
};

}  // namespace

Obtained<WbemLocator> ComWmiPort::CreateLocator() {
  ComPtr<IWbemLocator> locator;
  const HRESULT hr =
      CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, locator.PutVoid());
  return Handed<WbemLocator, ComLocator>(hr, locator);
}

}  // namespace vorlane
