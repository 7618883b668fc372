#include "module/factory_list.h"

namespace vorlane {

void FactoryList::Add(FactoryEntry& factory) {
  std::lock_guard<std::mutex> hold(lock_);
  factories_.insert(factories_.begin(), &factory);
}

void FactoryList::SetAllRegistered(bool registered) {
  std::lock_guard<std::mutex> hold(lock_);
  for (FactoryEntry* factory : factories_) factory->SetRegistered(registered);
}

bool FactoryList::UpdateAllRegistries(bool install) {
  std::lock_guard<std::mutex> hold(lock_);
  bool all = true;
  for (FactoryEntry* factory : factories_) all = factory->UpdateRegistry(install) && all;
  return all;
}

HResult FactoryList::WithFactory(const Guid& clsid, const std::function<HResult(FactoryEntry&)>& query) {
  std::lock_guard<std::mutex> hold(lock_);
  for (FactoryEntry* factory : factories_) {
    if (factory->IsRegistered() && factory->Clsid() == clsid) return query(*factory);
  }
  return kClassNotAvailable;
}

HResult FactoryList::CanUnloadNow(long liveObjects) {
  if (liveObjects != 0) return kFalse;
  std::lock_guard<std::mutex> hold(lock_);
  for (FactoryEntry* factory : factories_) {
    if (factory->ReferenceCount() > 1) return kFalse;
  }
  return kOk;
}

}  // namespace vorlane
