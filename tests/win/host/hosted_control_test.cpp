// The real control in the host's container: creation both ways, <param>
// values in and out, in-place activation, foreign notifications ignored,
// calls by name and the About box.
#include <gtest/gtest.h>

#include <olectl.h>

#include <memory>
#include <mutex>

#include "control/identifiers.h"
#include "dialog_watcher.h"
#include "event_sink.h"
#include "host_paths.h"
#include "hosted_control.h"
#include "registration.h"

namespace vorlane::host {
namespace {

using tests::ControlFile;

const CLSID kClsid = *reinterpret_cast<const CLSID*>(&kControlClsid);
const IID kEvents = *reinterpret_cast<const IID*>(&kEventsIid);

ComPtr<EventSink> MakeSink() {
  return ComPtr<EventSink>::Adopt(new EventSink(kEvents, nullptr));
}

class HostedControlTest : public tests::OleTest {
 protected:
  // The control from its file, loaded with `params` (initialised as new when empty) and active.
  std::unique_ptr<HostedControl> Embed(std::vector<std::pair<std::u16string, std::u16string>> params = {}) {
    std::unique_ptr<HostedControl> control;
    EXPECT_EQ(S_OK, HostedControl::Create({kClsid, ControlFile()}, &control));
    if (!control) return nullptr;
    ComPtr<PropertyBag> bag;
    if (!params.empty()) {
      bag = ComPtr<PropertyBag>::Adopt(new PropertyBag);
      for (const auto& [name, value] : params) bag->Set(name, value);
    }
    EXPECT_EQ(S_OK, control->Initialize(bag.Get()));
    EXPECT_EQ(S_OK, control->Activate());
    return control;
  }
};

TEST_F(HostedControlTest, CreatedThroughTheRegistryAfterRegistering) {
  ASSERT_EQ(S_OK, RegisterServer(ControlFile()));
  std::unique_ptr<HostedControl> control;
  ASSERT_EQ(S_OK, HostedControl::Create({kClsid, u""}, &control));
  EXPECT_EQ(S_OK, control->Initialize(nullptr));
  EXPECT_EQ(S_OK, control->Activate());
  EXPECT_NE(nullptr, control->control_window());
}

TEST_F(HostedControlTest, CreatedFromItsFile) {
  std::unique_ptr<HostedControl> control;
  ASSERT_EQ(S_OK, HostedControl::Create({kClsid, ControlFile()}, &control));
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(S_OK, control->object()->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
}

TEST_F(HostedControlTest, SavingGivesBackTheLoadedParams) {
  auto control = Embed({{u"ip", u"10.0.0.1"}, {u"port", u"8443"}, {u"username", u"张三"}, {u"type", u"-1"}});
  ASSERT_TRUE(control);
  auto saved = ComPtr<PropertyBag>::Adopt(new PropertyBag);
  ASSERT_EQ(S_OK, control->Save(saved.Get()));
  auto text = [&](const char16_t* name) {
    const BagEntry* entry = saved->Find(name);
    return entry ? entry->text : u"(absent)";
  };
  EXPECT_EQ(u"524288", text(u"_Version"));
  EXPECT_EQ(u"10.0.0.1", text(u"ip"));
  EXPECT_EQ(u"8443", text(u"port"));
  EXPECT_EQ(u"张三", text(u"username"));
  EXPECT_EQ(u"-1", text(u"type"));
  EXPECT_EQ(VT_I2, saved->Find(u"type")->type);
}

TEST_F(HostedControlTest, ActivationGivesTheControlAChildWindowAndReleaseTakesItAway) {
  auto control = Embed();
  ASSERT_TRUE(control);
  HWND window = control->control_window();
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(IsChild(control->host_window(), window));
  EXPECT_TRUE(control->in_place_active());
  control->Release();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(E_HANDLE, control->SendForeignNotification("lost"));
}

TEST_F(HostedControlTest, AFileStillInUseWhenItsControlGoesIsUnloadedOnceItMayGo) {
  const std::u16string path = ControlFile();
  const auto* file = reinterpret_cast<const wchar_t*>(path.c_str());
  auto control = Embed();
  ASSERT_TRUE(control);
  // Another holder of the control keeps the module in use past the host's release.
  ComPtr<IUnknown> holder(control->object());
  control->Release();
  HostedControl::FreeUnusedFiles();
  EXPECT_NE(nullptr, GetModuleHandleW(file)) << "unloaded under a live control";
  holder.Reset();
  HostedControl::FreeUnusedFiles();
  EXPECT_EQ(nullptr, GetModuleHandleW(file)) << "the host kept the file loaded for good";
}

// The real control takes notifications only from its own status relay: the
// host's WM_USER+1, carrying the address of a real text as the control's
// threads once did, raises no event, and the control works on.
TEST_F(HostedControlTest, NotificationsFromOutsideTheControlReachNoSink) {
  auto control = Embed({{u"type", u"0"}});
  ASSERT_TRUE(control);
  ComPtr<EventSink> sink = MakeSink();
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, control->Advise(sink.Get(), kEvents, &cookie));

  for (const std::string& text : {std::string("Connected"), std::string("\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5"),
                                  std::string(127, 'x'), std::string()})
    ASSERT_EQ(S_OK, control->SendForeignNotification(text));
  EXPECT_TRUE(sink->Received().empty());

  std::vector<Variant> none;
  CallResult reset = control->Call(u"ResetUrl", none);
  EXPECT_EQ(S_OK, reset.hr);
  EXPECT_EQ(S_OK, control->Unadvise(kEvents, cookie));
}

TEST_F(HostedControlTest, MethodsAreCalledByNameAndGiveBooleansAsVtBool) {
  auto control = Embed({{u"type", u"0"}});
  ASSERT_TRUE(control);
  std::vector<Variant> none;
  CallResult reset = control->Call(u"resetURL", none);  // names resolve without regard to case
  ASSERT_EQ(S_OK, reset.hr);
  EXPECT_EQ(1003, reset.id);
  EXPECT_EQ(VT_BOOL, V_VT(reset.value.Get()));

  std::vector<Variant> command;
  command.push_back(Variant::Text(u"cmd.exe /c exit 0"));
  command.push_back(Variant());
  V_VT(command.back().Get()) = VT_I4;  // converted to a boolean by the control
  V_I4(command.back().Get()) = 5;
  CallResult run_cmd = control->Call(u"RunCmd", command);
  ASSERT_EQ(S_OK, run_cmd.hr);
  EXPECT_EQ(VT_BOOL, V_VT(run_cmd.value.Get()));

  std::vector<Variant> flag;
  flag.push_back(Variant());
  V_VT(flag.back().Get()) = VT_I2;
  V_I2(flag.back().Get()) = 7;  // neither 0 nor 1: only stops a poller, of which there is none
  CallResult close = control->Call(u"Close", flag);
  EXPECT_EQ(S_OK, close.hr);
  EXPECT_EQ(VT_EMPTY, V_VT(close.value.Get()));

  EXPECT_EQ(DISP_E_UNKNOWNNAME, control->Call(u"Reset", none).hr);
}

TEST_F(HostedControlTest, AboutBoxShowsAndReturnsOnceDismissed) {
  auto control = Embed();
  ASSERT_TRUE(control);
  std::mutex mutex;
  std::vector<SeenDialog> seen;
  {
    DialogWatcher watcher([&](const SeenDialog& dialog) {
      std::lock_guard lock(mutex);
      seen.push_back(dialog);
    });
    std::vector<Variant> none;
    CallResult about = control->Call(u"AboutBox", none);
    EXPECT_EQ(S_OK, about.hr);
    EXPECT_EQ(static_cast<DISPID>(DISPID_ABOUTBOX), about.id);
  }
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(u"关于 Vorlane 控件", seen[0].caption);
  EXPECT_FALSE(seen[0].message_box);
  EXPECT_EQ("dialog \"关于 Vorlane 控件\"", DialogLine(seen[0]));
}

}  // namespace
}  // namespace vorlane::host
