// A pinned thread keeps the module counted as in use until everything its
// body holds is gone: what the body captured may run the module's code as it
// is destroyed, and the module must not look unused before then.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "support/win32/module_lock.h"
#include "support/win32/pinned_thread.h"

namespace vorlane {
namespace {

// Notes the module's use count when the last copy of it goes.
class CountAtDestruction {
 public:
  explicit CountAtDestruction(std::atomic<long>& seen) : seen_(seen) {}
  ~CountAtDestruction() { seen_.store(ModuleLock::Count()); }

 private:
  std::atomic<long>& seen_;
};

TEST(PinnedThread, WhatTheBodyHoldsGoesWhileTheModuleCountsAsInUse) {
  const long before = ModuleLock::Count();
  std::atomic<long> seen{-1};
  auto held = std::make_shared<CountAtDestruction>(seen);
  UniqueHandle owner = StartPinnedThread([held] { return 7u; });
  ASSERT_TRUE(owner);
  HANDLE thread = owner.Get();
  held.reset();  // the thread's copy is the last one
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(7u, code);
  EXPECT_EQ(before + 1, seen.load()) << "the body's captures were destroyed after the module was given up";
  EXPECT_EQ(before, ModuleLock::Count());
}

}  // namespace
}  // namespace vorlane
