#pragma once
// A scripted WMI: each call answers what the test set, and every call and
// every release is written to one journal, so tests see the order of both
// and which references are still held.
#include <new>
#include <string>
#include <vector>

#include "identity/wmi_port.h"
#include "test_text.h"

namespace vorlane::tests {

constexpr ComStatus kFailed = static_cast<ComStatus>(0x80004005);  // E_FAIL
constexpr ComStatus kEndOfResult = 1;                              // WBEM_S_FALSE
constexpr ComStatus kTimedOut = 0x40004;                           // WBEM_S_TIMEDOUT

struct FakeAdapter {
  std::optional<std::u16string> mac;
  ComStatus getStatus = 0;
};

class FakeWmi final : public WmiPort {
 public:
  ComStatus createLocator = 0;
  ComStatus connectServer = 0;
  ComStatus proxyBlanket = 0;
  ComStatus execQuery = 0;
  ComStatus nextFailure = 0;  // a failure status for Next, when set
  bool nextTimesOut = false;
  std::vector<FakeAdapter> adapters;
  std::string throwAt;  // the call ("ExecQuery", "Get"...) that runs out of memory

  std::vector<std::string> journal;
  int held = 0;  // references handed out and not yet released

  Obtained<WbemLocator> CreateLocator() override {
    Record("CreateLocator", "CreateLocator");
    return Hand<WbemLocator, Locator>(createLocator);
  }

 private:
  // One handed-out reference: counted while it lives, journalled when released.
  struct Held {
    Held(FakeWmi& wmi, const char* name) : wmi(wmi), name(name) { ++wmi.held; }
    ~Held() {
      --wmi.held;
      wmi.journal.push_back(std::string("release ") + name);
    }
    FakeWmi& wmi;
    const char* name;
  };
  struct Object final : WbemObject, Held {
    Object(FakeWmi& wmi, FakeAdapter adapter) : Held(wmi, "adapter"), adapter(std::move(adapter)) {}
    Property Get(const std::u16string& name) override {
      wmi.Record("Get", "Get " + Narrow(name));
      return {adapter.getStatus, adapter.mac};
    }
    FakeAdapter adapter;
  };
  struct Enumerator final : WbemEnumerator, Held {
    explicit Enumerator(FakeWmi& wmi) : Held(wmi, "enumerator") {}
    Obtained<WbemObject> Next(std::chrono::milliseconds timeout) override {
      wmi.Record("Next", "Next " + std::to_string(timeout.count()) + "ms");
      if (wmi.nextFailure != 0) return {wmi.nextFailure, nullptr};
      if (wmi.nextTimesOut) return {kTimedOut, nullptr};
      if (next >= wmi.adapters.size()) return {kEndOfResult, nullptr};
      return {0, std::make_unique<Object>(wmi, wmi.adapters[next++])};
    }
    std::size_t next = 0;
  };
  struct Services final : WbemServices, Held {
    explicit Services(FakeWmi& wmi) : Held(wmi, "services") {}
    ComStatus SetProxyBlanket(const ProxyBlanket& b) override {
      wmi.Record("SetProxyBlanket", "SetProxyBlanket " + std::to_string(b.authenticationService) + " " +
                                        std::to_string(b.authorizationService) + " " +
                                        std::to_string(b.authenticationLevel) + " " +
                                        std::to_string(b.impersonationLevel) + " " + std::to_string(b.capabilities));
      return wmi.proxyBlanket;
    }
    Obtained<WbemEnumerator> ExecQuery(const std::u16string& language, const std::u16string& query,
                                       std::int32_t flags) override {
      wmi.Record("ExecQuery", "ExecQuery " + Narrow(language) + " \"" + Narrow(query) + "\" " + std::to_string(flags));
      return wmi.Hand<WbemEnumerator, Enumerator>(wmi.execQuery);
    }
  };
  struct Locator final : WbemLocator, Held {
    explicit Locator(FakeWmi& wmi) : Held(wmi, "locator") {}
    Obtained<WbemServices> ConnectServer(const std::u16string& nameSpace) override {
      wmi.Record("ConnectServer", "ConnectServer " + Narrow(nameSpace));
      return wmi.Hand<WbemServices, Services>(wmi.connectServer);
    }
  };

  void Record(const std::string& call, std::string entry) {
    if (call == throwAt) throw std::bad_alloc();
    journal.push_back(std::move(entry));
  }
  template <typename Port, typename Fake>
  Obtained<Port> Hand(ComStatus status) {
    if (IsFailure(status)) return {status, nullptr};
    return {status, std::make_unique<Fake>(*this)};
  }
};

}  // namespace vorlane::tests
