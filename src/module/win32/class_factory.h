#pragma once
// A class factory of the module: lives as long as the module, makes a fresh
// object per CreateInstance and registers its class.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "module/class_registration.h"
#include "module/factory_list.h"

namespace vorlane {

class ClassFactory : public IClassFactory, public FactoryEntry {
 public:
  using Creator = HRESULT (*)(REFIID iid, void** out);
  ClassFactory(const ClassRegistration& registration, Creator create);
  virtual ~ClassFactory() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

  const Guid& Clsid() const override { return registration_.clsid; }
  bool IsRegistered() const override { return registered_.load(); }
  void SetRegistered(bool registered) override { registered_.store(registered); }
  long ReferenceCount() const override { return references_.load(); }
  bool UpdateRegistry(bool install) override;

 private:
  const ClassRegistration& registration_;
  Creator create_;
  std::atomic<long> references_{1};  // the module's own, never released
  std::atomic<bool> registered_{false};
};

}  // namespace vorlane
