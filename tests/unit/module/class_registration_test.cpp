#include "module/class_registration.h"

#include <gtest/gtest.h>

#include "fake_module.h"
#include "fake_registry.h"
#include "ocx/class_registrations.h"

namespace vorlane {
namespace {

using tests::FakeModule;
using tests::FakeRegistry;
using tests::Fold;

const std::u16string kControlKey = u"CLSID\\{44575D42-B89E-423E-B3CF-B8AFE1897A80}";
const std::u16string kPageKey = u"CLSID\\{E0B529AF-D370-4795-A7FA-73BA302E9DF6}";

class ClassRegistrationTest : public ::testing::Test {
 protected:
  bool Update(const ClassRegistration& entry, bool install) {
    return UpdateClassRegistry(entry, install, registry, module);
  }
  std::u16string ValueOf(const std::u16string& path, const std::u16string& name = u"") {
    const std::u16string* value = registry.Value(path, name);
    return value ? *value : u"<missing>";
  }
  FakeRegistry registry;
  FakeModule module;
};

TEST_F(ClassRegistrationTest, ControlWritesEveryEntryInTableOrder) {
  ASSERT_TRUE(Update(kControlRegistration, true));

  std::vector<std::u16string> expected{
      u"Vorlane.VorlaneCtrl.1",
      u"Vorlane.VorlaneCtrl.1\\CLSID",
      kControlKey,
      kControlKey + u"\\ProgID",
      kControlKey + u"\\InprocServer32",
      kControlKey + u"\\ToolboxBitmap32",
      kControlKey + u"\\MiscStatus",
      kControlKey + u"\\MiscStatus\\1",
      kControlKey + u"\\Control",
      kControlKey + u"\\TypeLib",
      kControlKey + u"\\Version",
      kControlKey + u"\\InprocServer32\\[ThreadingModel]",
  };
  for (std::u16string& path : expected) path = Fold(path);
  EXPECT_EQ(registry.writes, expected);
  EXPECT_EQ(registry.openKeys, 0);

  EXPECT_EQ(ValueOf(u"Vorlane.VorlaneCtrl.1"), u"Vorlane  Control");
  EXPECT_EQ(ValueOf(u"Vorlane.VorlaneCtrl.1\\CLSID"), u"{44575D42-B89E-423E-B3CF-B8AFE1897A80}");
  EXPECT_EQ(ValueOf(kControlKey), u"Vorlane  Control");
  EXPECT_EQ(ValueOf(kControlKey + u"\\ProgID"), u"Vorlane.VorlaneCtrl.1");
  EXPECT_EQ(ValueOf(kControlKey + u"\\InprocServer32"), u"C:\\x\\vorlane.ocx");
  EXPECT_EQ(ValueOf(kControlKey + u"\\InprocServer32", u"ThreadingModel"), u"Apartment");
  EXPECT_EQ(ValueOf(kControlKey + u"\\ToolboxBitmap32"), u"C:\\x\\vorlane.ocx, 1");
  EXPECT_EQ(ValueOf(kControlKey + u"\\MiscStatus"), u"0");
  EXPECT_EQ(ValueOf(kControlKey + u"\\MiscStatus\\1"), u"131473");
  EXPECT_EQ(ValueOf(kControlKey + u"\\Control"), u"");
  EXPECT_EQ(ValueOf(kControlKey + u"\\TypeLib"), u"{51857C45-A18A-4079-B8A0-547195313D90}");
  EXPECT_EQ(ValueOf(kControlKey + u"\\Version"), u"8.0");
}

TEST_F(ClassRegistrationTest, PropertyPageHasOnlyItsServerAndNoProgId) {
  ASSERT_TRUE(Update(kPropPageRegistration, true));

  EXPECT_EQ(ValueOf(kPageKey), u"Vorlane 属性页");
  EXPECT_EQ(registry.Subkeys(kPageKey), std::vector<std::u16string>{u"INPROCSERVER32"});
  EXPECT_EQ(ValueOf(kPageKey + u"\\InprocServer32"), u"C:\\x\\vorlane.ocx");
  EXPECT_EQ(registry.Value(kPageKey + u"\\InprocServer32", u"ThreadingModel"), nullptr);
  EXPECT_FALSE(registry.HasKey(u"Vorlane.VorlanePropPage.1"));
  EXPECT_EQ(registry.writes.size(), 2u);
}

TEST_F(ClassRegistrationTest, MissingTypeNameStringWritesTheClsidText) {
  module.strings.clear();
  ASSERT_TRUE(Update(kControlRegistration, true));
  ASSERT_TRUE(Update(kPropPageRegistration, true));
  EXPECT_EQ(ValueOf(kControlKey), u"{44575D42-B89E-423E-B3CF-B8AFE1897A80}");
  EXPECT_EQ(ValueOf(u"Vorlane.VorlaneCtrl.1"), u"{44575D42-B89E-423E-B3CF-B8AFE1897A80}");
  EXPECT_EQ(ValueOf(kPageKey), u"{E0B529AF-D370-4795-A7FA-73BA302E9DF6}");
}

TEST_F(ClassRegistrationTest, UnformattableIdentifiersWriteNothing) {
  module.failingGuids.insert(kLibId.data1);
  EXPECT_FALSE(Update(kControlRegistration, true));
  module.failingGuids = {kPropPageClsid.data1};
  EXPECT_FALSE(Update(kPropPageRegistration, true));
  EXPECT_TRUE(registry.writes.empty());
}

TEST_F(ClassRegistrationTest, FailedWriteReportsFailureAndKeepsWhatWasWritten) {
  registry.failingWrites.insert(Fold(kControlKey + u"\\MiscStatus\\1"));
  EXPECT_FALSE(Update(kControlRegistration, true));
  EXPECT_EQ(ValueOf(kControlKey + u"\\MiscStatus"), u"0");
  EXPECT_EQ(registry.openKeys, 0);

  registry.failingWrites = {Fold(kControlKey + u"\\InprocServer32\\[ThreadingModel]")};
  EXPECT_FALSE(Update(kControlRegistration, true));
}

TEST_F(ClassRegistrationTest, UnregisteringRemovesClassAndProgIdTreesOnly) {
  registry.AddKey(u"CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32");
  registry.AddKey(u"Vorlane.Other");
  ASSERT_TRUE(Update(kControlRegistration, true));
  ASSERT_TRUE(Update(kPropPageRegistration, true));

  EXPECT_TRUE(Update(kControlRegistration, false));
  EXPECT_TRUE(Update(kPropPageRegistration, false));

  EXPECT_FALSE(registry.HasKey(kControlKey));
  EXPECT_FALSE(registry.HasKey(kPageKey));
  EXPECT_FALSE(registry.HasKey(u"Vorlane.VorlaneCtrl.1"));
  EXPECT_TRUE(registry.HasKey(u"CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32"));
  EXPECT_TRUE(registry.HasKey(u"Vorlane.Other"));
  EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(ClassRegistrationTest, UnregisteringWhatIsNotThereSucceeds) {
  EXPECT_TRUE(Update(kControlRegistration, false));
  EXPECT_TRUE(Update(kPropPageRegistration, false));
}

TEST_F(ClassRegistrationTest, SixteenBitServerKeepsTheClassAndProgId) {
  ASSERT_TRUE(Update(kControlRegistration, true));
  registry.AddKey(kControlKey + u"\\InprocServer");

  EXPECT_TRUE(Update(kControlRegistration, false));

  EXPECT_FALSE(registry.HasKey(kControlKey + u"\\InprocServer32"));
  EXPECT_FALSE(registry.HasKey(kControlKey + u"\\ToolboxBitmap32"));
  EXPECT_TRUE(registry.HasKey(kControlKey + u"\\InprocServer"));
  EXPECT_TRUE(registry.HasKey(kControlKey + u"\\MiscStatus\\1"));
  EXPECT_TRUE(registry.HasKey(kControlKey + u"\\Version"));
  EXPECT_TRUE(registry.HasKey(u"Vorlane.VorlaneCtrl.1\\CLSID"));
}

TEST_F(ClassRegistrationTest, FailedDeletionIsReportedAndTheProgIdStillRemoved) {
  ASSERT_TRUE(Update(kControlRegistration, true));
  registry.failingDeletes.insert(Fold(kControlKey + u"\\MiscStatus\\1"));

  EXPECT_FALSE(Update(kControlRegistration, false));
  EXPECT_TRUE(registry.HasKey(kControlKey + u"\\MiscStatus\\1"));
  EXPECT_FALSE(registry.HasKey(kControlKey + u"\\Version"));
  EXPECT_FALSE(registry.HasKey(u"Vorlane.VorlaneCtrl.1"));
}

}  // namespace
}  // namespace vorlane
