#pragma once
// The module's class factories in list order, and the walks over them that
// the exported entry points make. Every walk holds the list's lock.
#include <functional>
#include <mutex>
#include <vector>

#include "module/result_codes.h"
#include "support/guid.h"

namespace vorlane {

// What the walks need from one class factory.
class FactoryEntry {
 public:
  virtual ~FactoryEntry() = default;
  virtual const Guid& Clsid() const = 0;
  virtual bool IsRegistered() const = 0;
  virtual void SetRegistered(bool registered) = 0;
  // References held on the factory, its own one included.
  virtual long ReferenceCount() const = 0;
  // Writes (install) or removes the class's registry entries.
  virtual bool UpdateRegistry(bool install) = 0;
};

class FactoryList {
 public:
  // A new factory goes to the head of the list.
  void Add(FactoryEntry& factory);
  void SetAllRegistered(bool registered);

  // Calls every factory, even after a failure; true when all succeeded.
  bool UpdateAllRegistries(bool install);

  // Hands the first registered factory for clsid to query and returns its
  // result; kClassNotAvailable when there is none.
  HResult WithFactory(const Guid& clsid, const std::function<HResult(FactoryEntry&)>& query);

  // kFalse while objects are alive or a factory is held from outside.
  HResult CanUnloadNow(long liveObjects);

 private:
  std::mutex lock_;
  std::vector<FactoryEntry*> factories_;
};

}  // namespace vorlane
