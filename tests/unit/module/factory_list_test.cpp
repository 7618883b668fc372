#include "module/factory_list.h"

#include <gtest/gtest.h>

#include "fake_factory.h"
#include "fake_module.h"

namespace vorlane {
namespace {

using tests::FakeFactory;
using tests::FakeModule;
using tests::FakeRegistry;

class FactoryListTest : public ::testing::Test {
 protected:
  FactoryListTest() {
    // Constructed as the module does: control first, each joining the head.
    list.Add(control);
    list.Add(page);
  }
  const FactoryEntry* Found(const Guid& clsid) {
    const FactoryEntry* found = nullptr;
    HResult result = list.WithFactory(clsid, [&](FactoryEntry& factory) {
      found = &factory;
      return kOk;
    });
    return result == kOk ? found : nullptr;
  }

  FakeRegistry registry;
  FakeModule module;
  std::vector<const FakeFactory*> calls;
  FakeFactory control{kControlRegistration, registry, module, &calls};
  FakeFactory page{kPropPageRegistration, registry, module, &calls};
  FactoryList list;
};

TEST_F(FactoryListTest, WalksPropertyPageFirstAndCallsEveryFactoryAfterAFailure) {
  registry.failingWrites.insert(tests::Fold(u"CLSID\\{E0B529AF-D370-4795-A7FA-73BA302E9DF6}"));
  EXPECT_FALSE(list.UpdateAllRegistries(true));
  EXPECT_EQ(calls, (std::vector<const FakeFactory*>{&page, &control}));
  EXPECT_TRUE(registry.HasKey(u"CLSID\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}\\Version"));
}

TEST_F(FactoryListTest, HandsOutOnlyRegisteredFactoriesByClsid) {
  EXPECT_EQ(Found(kControlClsid), nullptr);
  list.SetAllRegistered(true);
  EXPECT_EQ(Found(kControlClsid), &control);
  EXPECT_EQ(Found(kPropPageClsid), &page);
  EXPECT_EQ(Found(kLibId), nullptr);
  list.SetAllRegistered(false);
  EXPECT_EQ(Found(kPropPageClsid), nullptr);
}

TEST_F(FactoryListTest, UnknownClassIsNotAvailableAndTheQueryIsNotCalled) {
  list.SetAllRegistered(true);
  bool called = false;
  EXPECT_EQ(list.WithFactory(kDispatchIid,
                             [&](FactoryEntry&) {
                               called = true;
                               return kOk;
                             }),
            kClassNotAvailable);
  EXPECT_FALSE(called);
}

TEST_F(FactoryListTest, FirstRegisteredMatchWinsAndItsResultIsReturned) {
  FakeFactory later{kControlRegistration, registry, module};
  FactoryList twice;
  twice.Add(later);
  twice.Add(control);
  control.registered = true;
  later.registered = true;
  const FactoryEntry* found = nullptr;
  EXPECT_EQ(twice.WithFactory(kControlClsid,
                              [&](FactoryEntry& factory) {
                                found = &factory;
                                return static_cast<HResult>(0x80004002);
                              }),
            static_cast<HResult>(0x80004002));
  EXPECT_EQ(found, &control);
  control.registered = false;
  EXPECT_EQ(twice.WithFactory(kControlClsid, [](FactoryEntry&) { return kOk; }), kOk);
}

TEST_F(FactoryListTest, CanUnloadOnlyWithNoObjectsAndNoOutsideReferences) {
  EXPECT_EQ(list.CanUnloadNow(0), kOk);
  EXPECT_EQ(list.CanUnloadNow(1), kFalse);
  control.references = 2;
  EXPECT_EQ(list.CanUnloadNow(0), kFalse);
  control.references = 1;
  page.references = 3;
  EXPECT_EQ(list.CanUnloadNow(0), kFalse);
}

}  // namespace
}  // namespace vorlane
