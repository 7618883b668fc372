#include "module/win32/class_factory.h"

#include <atomic>

#include "module/win32/win32_module_environment.h"
#include "module/win32/win32_registry.h"
#include "support/win32/module_lock.h"

namespace vorlane {

ClassFactory::ClassFactory(const ClassRegistration& registration, Creator create)
    : registration_(registration), create_(create) {}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return static_cast<ULONG>(++references_); }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
  // The factory belongs to the module: an extra Release never takes its own
  // reference away.
  long expected = references_.load();
  while (expected > 1 && !references_.compare_exchange_weak(expected, expected - 1)) {
  }
  return static_cast<ULONG>(references_.load());
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return create_(iid, out);
}

namespace {

// The locks LockServer holds on the module, apart from objects and threads:
// an unlock without a lock finds none to release, so it can never take the
// module's count below what its live objects hold.
std::atomic<long> serverLocks{0};

}  // namespace

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    serverLocks.fetch_add(1);
    ModuleLock::Acquire();
    return S_OK;
  }
  long held = serverLocks.load();
  while (held > 0 && !serverLocks.compare_exchange_weak(held, held - 1)) {
  }
  if (held > 0) ModuleLock::Release();
  return S_OK;
}

bool ClassFactory::UpdateRegistry(bool install) {
  Win32Registry registry;
  Win32ModuleEnvironment module;
  return UpdateClassRegistry(registration_, install, registry, module);
}

}  // namespace vorlane
