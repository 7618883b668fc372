#pragma once
// A class factory as the module's walks see it, registering its class in a
// fake registry.
#include "module/class_registration.h"
#include "module/factory_list.h"
#include "ocx/class_registrations.h"

namespace vorlane::tests {

class FakeFactory final : public FactoryEntry {
 public:
  FakeFactory(const ClassRegistration& entry, RegistryPort& registry, ModuleEnvironmentPort& module,
              std::vector<const FakeFactory*>* calls = nullptr)
      : entry_(entry), registry_(registry), module_(module), calls_(calls) {}

  const Guid& Clsid() const override { return entry_.clsid; }
  bool IsRegistered() const override { return registered; }
  void SetRegistered(bool value) override { registered = value; }
  long ReferenceCount() const override { return references; }
  bool UpdateRegistry(bool install) override {
    if (calls_) calls_->push_back(this);
    return UpdateClassRegistry(entry_, install, registry_, module_);
  }

  bool registered = false;
  long references = 1;

 private:
  const ClassRegistration& entry_;
  RegistryPort& registry_;
  ModuleEnvironmentPort& module_;
  std::vector<const FakeFactory*>* calls_;
};

}  // namespace vorlane::tests
