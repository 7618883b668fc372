#pragma once
// Counts what keeps the module loaded: live objects, LockServer calls and
// running background threads. DllCanUnloadNow answers S_OK only at zero.
#include <atomic>

namespace vorlane {

class ModuleLock {
 public:
  static void Acquire() { count_.fetch_add(1); }
  static void Release() { count_.fetch_sub(1); }
  static long Count() { return count_.load(); }

 private:
  static inline std::atomic<long> count_{0};
};

// Holds the module for its own lifetime (objects, threads).
class ModuleReference {
 public:
  ModuleReference() { ModuleLock::Acquire(); }
  ~ModuleReference() { ModuleLock::Release(); }
  ModuleReference(const ModuleReference&) { ModuleLock::Acquire(); }
  ModuleReference& operator=(const ModuleReference&) = default;
};

}  // namespace vorlane
