#pragma once
// What the MAC probe needs of WMI: a locator that connects to a namespace,
// the namespace's services that run a query, the query's forward-only
// enumerator and the objects it yields. Every object handed out holds one
// reference of the platform's, released when the object goes.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vorlane {

// An HRESULT as COM reports it: negative values are failures.
using ComStatus = std::int32_t;

constexpr bool IsFailure(ComStatus status) { return status < 0; }

// A status and, on success, the object the call handed out.
template <typename T>
struct Obtained {
  ComStatus status = 0;
  std::unique_ptr<T> object;
  bool ok() const { return !IsFailure(status) && object != nullptr; }
};

// The security asked for on the services proxy, as CoSetProxyBlanket takes
// it; no principal name and no identity go with it.
struct ProxyBlanket {
  std::uint32_t authenticationService;
  std::uint32_t authorizationService;
  std::uint32_t authenticationLevel;
  std::uint32_t impersonationLevel;
  std::uint32_t capabilities;
  friend bool operator==(const ProxyBlanket&, const ProxyBlanket&) = default;
};

class WbemObject {
 public:
  struct Property {
    ComStatus status = 0;
    // The value when it is a string; nothing for any other type (an adapter
    // without an address has a null value).
    std::optional<std::u16string> text;
  };
  virtual ~WbemObject() = default;
  virtual Property Get(const std::u16string& name) = 0;
};

class WbemEnumerator {
 public:
  virtual ~WbemEnumerator() = default;
  // The next object, waiting for it at most `timeout`. No object at the end
  // of the result or when the time ran out (a success status both times).
  virtual Obtained<WbemObject> Next(std::chrono::milliseconds timeout) = 0;
};

class WbemServices {
 public:
  virtual ~WbemServices() = default;
  virtual ComStatus SetProxyBlanket(const ProxyBlanket& blanket) = 0;
  virtual Obtained<WbemEnumerator> ExecQuery(const std::u16string& language, const std::u16string& query,
                                             std::int32_t flags) = 0;
};

class WbemLocator {
 public:
  virtual ~WbemLocator() = default;
  // No user, password, locale, authority or context; security flags 0.
  virtual Obtained<WbemServices> ConnectServer(const std::u16string& nameSpace) = 0;
};

class WmiPort {
 public:
  virtual ~WmiPort() = default;
  // A new in-process locator, in the calling thread's apartment.
  virtual Obtained<WbemLocator> CreateLocator() = 0;
};

}  // namespace vorlane
