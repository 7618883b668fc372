#include "module/server_registration.h"

#include <gtest/gtest.h>

#include "fake_factory.h"
#include "fake_module.h"

namespace vorlane {
namespace {

using tests::FakeFactory;
using tests::FakeModule;
using tests::FakeRegistry;
using tests::FakeTypeLibrary;
using tests::Fold;
using tests::GuidString;

const std::u16string kControlKey = u"CLSID\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}";
const std::u16string kPageKey = u"CLSID\\{E0B529AF-D370-4795-A7FA-73BA302E9DF6}";

class ServerRegistrationTest : public ::testing::Test {
 protected:
  ServerRegistrationTest() {
    list.Add(control);
    list.Add(page);
    // Someone else's entries that must survive everything we do.
    registry.AddKey(u"CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32");
    registry.AddKey(u"Interface\\{00000000-0000-0000-0000-000000000002}\\TypeLib");
    registry.AddKey(u"TypeLib\\{00000000-0000-0000-0000-000000000003}\\1.0\\0\\win64");
  }
  HResult Register() { return RegisterServer(list, kVorlaneTypeLibrary, library, module); }
  HResult Unregister() { return UnregisterServer(list, kVorlaneTypeLibrary, library, registry, module); }
  std::u16string VersionKey() const { return library.LibraryKey() + u"\\8.0"; }

  FakeRegistry registry;
  FakeModule module;
  FakeTypeLibrary library{registry};
  FakeFactory control{kControlRegistration, registry, module};
  FakeFactory page{kPropPageRegistration, registry, module};
  FactoryList list;
};

TEST_F(ServerRegistrationTest, RegisteringTwiceGivesTheSameRegistry) {
  ASSERT_EQ(Register(), kOk);
  EXPECT_TRUE(registry.HasKey(VersionKey() + u"\\409\\win64"));
  EXPECT_TRUE(registry.HasKey(kControlKey + u"\\Version"));
  EXPECT_TRUE(registry.HasKey(kPageKey + u"\\InprocServer32"));
  const auto first = registry.Snapshot();

  EXPECT_EQ(Register(), kOk);
  EXPECT_EQ(registry.Snapshot(), first);
}

TEST_F(ServerRegistrationTest, TypeLibraryFailuresWriteNoClassEntries) {
  const auto untouched = registry.Snapshot();
  library.hasLibrary = false;
  EXPECT_EQ(Register(), kSelfRegTypeLibError);
  library.hasLibrary = true;
  library.libId = kControlClsid;
  EXPECT_EQ(Register(), kSelfRegTypeLibError);
  library.libId = kLibId;
  library.registerSucceeds = false;
  EXPECT_EQ(Register(), kSelfRegTypeLibError);

  EXPECT_TRUE(registry.writes.empty());
  EXPECT_EQ(registry.Snapshot(), untouched);
}

TEST_F(ServerRegistrationTest, FailedClassWriteStillRegistersTheOtherClass) {
  registry.failingWrites.insert(Fold(u"Vorlane.VorlaneCtrl.1\\CLSID"));
  EXPECT_EQ(Register(), kSelfRegClassError);
  EXPECT_TRUE(registry.HasKey(kPageKey + u"\\InprocServer32"));
}

TEST_F(ServerRegistrationTest, UnregisteringNothingSucceeds) {
  const auto untouched = registry.Snapshot();
  EXPECT_EQ(Unregister(), kOk);
  EXPECT_EQ(registry.Snapshot(), untouched);
}

TEST_F(ServerRegistrationTest, RoundTripLeavesTheRegistryAsItWas) {
  const auto before = registry.Snapshot();
  ASSERT_EQ(Register(), kOk);
  ASSERT_TRUE(registry.HasKey(u"Interface\\" + GuidString(kDispatchIid)));

  EXPECT_EQ(Unregister(), kOk);

  // Including the Interface keys that registering the library made.
  EXPECT_EQ(registry.Snapshot(), before);
  EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(ServerRegistrationTest, ThirtyTwoBitRegistrationKeepsTheLibraryVersion) {
  ASSERT_EQ(Register(), kOk);
  registry.AddKey(VersionKey() + u"\\409\\win32");

  EXPECT_EQ(Unregister(), kOk);

  EXPECT_TRUE(registry.HasKey(VersionKey() + u"\\409\\win32"));
  EXPECT_FALSE(registry.HasKey(VersionKey() + u"\\409\\win64"));
  EXPECT_TRUE(registry.HasKey(VersionKey() + u"\\FLAGS"));
  EXPECT_TRUE(registry.HasKey(VersionKey() + u"\\HELPDIR"));
  EXPECT_FALSE(registry.HasKey(kControlKey));
}

// The 32-bit module beside a 64-bit one: each removes only its own entry.
TEST_F(ServerRegistrationTest, EachPlatformRemovesOnlyItsOwnEntry) {
  TypeLibraryIdentity library32 = kVorlaneTypeLibrary;
  library32.platform = TypeLibraryPlatform::kWin32;
  library.platform = TypeLibraryPlatform::kWin32;
  ASSERT_EQ(RegisterServer(list, library32, library, module), kOk);
  ASSERT_TRUE(registry.HasKey(VersionKey() + u"\\409\\win32"));
  registry.AddKey(VersionKey() + u"\\409\\win64");

  EXPECT_EQ(UnregisterServer(list, library32, library, registry, module), kOk);
  EXPECT_TRUE(registry.HasKey(VersionKey() + u"\\409\\win64"));
  EXPECT_FALSE(registry.HasKey(VersionKey() + u"\\409\\win32"));
  EXPECT_TRUE(registry.HasKey(VersionKey() + u"\\FLAGS"));

  // The last one out takes the library with it.
  library.platform = TypeLibraryPlatform::kWin64;
  EXPECT_EQ(Unregister(), kOk);
  EXPECT_FALSE(registry.HasKey(library.LibraryKey()));
}

TEST_F(ServerRegistrationTest, OtherVersionsAndLocalesAreWalkedToo) {
  ASSERT_EQ(Register(), kOk);
  registry.AddKey(VersionKey() + u"\\804\\win64");
  registry.AddKey(library.LibraryKey() + u"\\1.0\\0\\win64");
  registry.AddKey(library.LibraryKey() + u"\\2.0\\0\\win32");
  registry.AddKey(library.LibraryKey() + u"\\2.0\\9\\win64");

  EXPECT_EQ(Unregister(), kOk);

  EXPECT_EQ(registry.Subkeys(library.LibraryKey()), std::vector<std::u16string>{u"2.0"});
  EXPECT_EQ(registry.Subkeys(library.LibraryKey() + u"\\2.0"), std::vector<std::u16string>{u"0"});
}

TEST_F(ServerRegistrationTest, InterfaceKeysAreLeftWhenOurLibraryWasNotRegistered) {
  registry.AddKey(u"Interface\\" + GuidString(kEventsIid) + u"\\TypeLib");
  EXPECT_EQ(Unregister(), kOk);
  EXPECT_TRUE(registry.HasKey(u"Interface\\" + GuidString(kEventsIid) + u"\\TypeLib"));
}

TEST_F(ServerRegistrationTest, FailedLibraryRemovalLeavesTheClasses) {
  ASSERT_EQ(Register(), kOk);
  registry.failingDeletes.insert(Fold(VersionKey()));

  EXPECT_EQ(Unregister(), kSelfRegTypeLibError);
  EXPECT_TRUE(registry.HasKey(kControlKey));
  EXPECT_TRUE(registry.HasKey(u"Interface\\" + GuidString(kDispatchIid)));
}

TEST_F(ServerRegistrationTest, FailedClassRemovalIsReportedAfterBothAreTried) {
  ASSERT_EQ(Register(), kOk);
  registry.failingDeletes.insert(Fold(kPageKey + u"\\InprocServer32"));

  EXPECT_EQ(Unregister(), kSelfRegClassError);
  EXPECT_FALSE(registry.HasKey(kControlKey));
  EXPECT_FALSE(registry.HasKey(u"Vorlane.VorlaneCtrl.1"));
}

}  // namespace
}  // namespace vorlane
