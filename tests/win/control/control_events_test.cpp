// Connection points and the WM_USER+1 bridge to OnClientMessage.
#include <gtest/gtest.h>
#include <olectl.h>

#include "common/message_pump.h"
#include "status/notification_hand_over.h"
#include "status/win32/win32_poller_ports.h"
#include "test_container.h"

namespace vorlane::tests {
namespace {

class ControlEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    control_ = NewInitialisedControl();
    site_ = ComPtr<Site>::Adopt(new Site());
    ComPtr<IOleObject> ole = control_.As<IOleObject>(IID_IOleObject);
    ASSERT_EQ(ole->SetClientSite(site_.Get()), S_OK);
    ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, site_->window, nullptr), S_OK);
    ASSERT_EQ(control_.As<IOleWindow>(IID_IOleWindow)->GetWindow(&window_), S_OK);
  }
  void TearDown() override {
    if (control_) control_.As<IOleObject>(IID_IOleObject)->Close(OLECLOSE_NOSAVE);
  }

  // Sends the notification from another thread, as the poller does.
  void Notify(const std::string& utf8) {
    RunOnOtherThreadWhilePumping([&] { Win32WindowNotifier().Notify(WindowHandle(window_), utf8.c_str()); });
  }
  // WM_USER+1 with whatever WPARAM, from another thread as a foreign sender would.
  LRESULT SendRaw(WPARAM wparam) {
    LRESULT result = -1;
    RunOnOtherThreadWhilePumping([&] { result = SendMessageW(window_, WM_USER + 1, wparam, 0); });
    return result;
  }

  ComPtr<IDispatch> control_;
  ComPtr<Site> site_;
  HWND window_ = nullptr;
};

TEST_F(ControlEvents, EverySinkReceivesTheConvertedText) {
  ComPtr<EventSink> first = ComPtr<EventSink>::Adopt(new EventSink());
  ComPtr<EventSink> second = ComPtr<EventSink>::Adopt(new EventSink());
  ASSERT_NE(Connect(control_.Get(), first.Get()), 0u);
  ASSERT_NE(Connect(control_.Get(), second.Get()), 0u);

  std::string longest(127, 'x');
  Notify("Connected");
  Notify(longest);
  Notify("a\xFF" "b");
  Notify("\xE5\xB7\xB2\xE8\xBF\x9E\xE6\x8E\xA5");
  Notify("");

  std::vector<std::u16string> expected = {u"Connected", std::u16string(127, u'x'), u"a\uFFFDb", u"\u5df2\u8fde\u63a5",
                                          u""};
  EXPECT_EQ(first->received, expected);
  EXPECT_EQ(second->received, expected);
}

TEST_F(ControlEvents, AFailingSinkIsSkipped) {
  ComPtr<EventSink> failing = ComPtr<EventSink>::Adopt(new EventSink(true));
  ComPtr<EventSink> working = ComPtr<EventSink>::Adopt(new EventSink());
  Connect(control_.Get(), failing.Get());
  Connect(control_.Get(), working.Get());
  Notify("Disconnected");
  EXPECT_EQ(failing->calls, 1);
  EXPECT_EQ(working->received, std::vector<std::u16string>{u"Disconnected"});
}

TEST_F(ControlEvents, NoSinkAndTimerMessagesAreHarmless) {
  Notify("Connected");
  ComPtr<EventSink> sink = ComPtr<EventSink>::Adopt(new EventSink());
  Connect(control_.Get(), sink.Get());
  EXPECT_EQ(SendMessageW(window_, WM_TIMER, 1, 0), 0);
  EXPECT_EQ(sink->calls, 0);
}

TEST_F(ControlEvents, UnadvisedSinksHearNothingAndEnumerationListsTheRest) {
  ComPtr<EventSink> kept = ComPtr<EventSink>::Adopt(new EventSink());
  ComPtr<EventSink> dropped = ComPtr<EventSink>::Adopt(new EventSink());
  Connect(control_.Get(), kept.Get());
  DWORD cookie = Connect(control_.Get(), dropped.Get());

  ComPtr<IConnectionPointContainer> container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  const IID events = {0xBEE2B8CD, 0x966C, 0x4465, {0x89, 0x4A, 0xF4, 0x46, 0xA8, 0x0C, 0xE3, 0x91}};
  ASSERT_EQ(container->FindConnectionPoint(events, point.Put()), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);

  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.Put()), S_OK);
  CONNECTDATA data[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  data[0].pUnk->Release();

  ComPtr<IConnectionPoint> notify;
  EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, notify.Put()), S_OK);
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.Put()), S_OK);
  IConnectionPoint* listed[3] = {};
  EXPECT_EQ(points->Next(3, listed, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  for (ULONG i = 0; i < fetched; ++i) listed[i]->Release();

  Notify("x");
  EXPECT_EQ(kept->received.size(), 1u);
  EXPECT_EQ(dropped->calls, 0);
}

// Anyone may send the window WM_USER+1. Only a token the control's relay
// handed over for this window names a text; anything else is read as nothing
// and raises no event: an address of a real text, one of no memory at all,
// zero, a token already taken, one handed over for another window.
TEST_F(ControlEvents, NotificationsTheRelayDidNotHandOverAreIgnored) {
  ComPtr<EventSink> sink = ComPtr<EventSink>::Adopt(new EventSink());
  Connect(control_.Get(), sink.Get());
  NotificationHandOver& handOver = NotificationHandOver::Process();
  NotificationToken taken = 0;
  RunOnOtherThreadWhilePumping([&] {
    NotifyThroughHandOver(handOver, WindowHandle(window_), "Connected", [&](NotificationToken token) {
      taken = token;
      SendMessageW(window_, WM_USER + 1, token, 0);
    });
  });
  ASSERT_EQ(sink->calls, 1);
  NotificationToken forAnother = handOver.Offer(WindowHandle(site_->window), "Disconnected");

  const char text[] = "Connected";
  for (WPARAM foreign : {WPARAM(text), WPARAM(0xDEAD0000BEEF), WPARAM(1), WPARAM(0), WPARAM(taken), WPARAM(forAnother)})
    EXPECT_EQ(SendRaw(foreign), 0) << foreign;
  PostMessageW(window_, WM_USER + 1, WPARAM(0xDEAD0000BEEF), 0);
  PumpFor(20);
  EXPECT_EQ(sink->calls, 1);

  handOver.Withdraw(forAnother);
  Notify("Disconnected");  // the relay's own still arrive
  EXPECT_EQ(sink->received, (std::vector<std::u16string>{u"Connected", u"Disconnected"}));
}

TEST_F(ControlEvents, NotificationsAfterDeactivationAreLost) {
  ComPtr<EventSink> sink = ComPtr<EventSink>::Adopt(new EventSink());
  Connect(control_.Get(), sink.Get());
  ASSERT_EQ(control_.As<IOleInPlaceObject>(IID_IOleInPlaceObject)->InPlaceDeactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(site_->deactivations, 1);
  Notify("late");
  EXPECT_EQ(sink->calls, 0);
}

}  // namespace
}  // namespace vorlane::tests

namespace vorlane::tests {
namespace {

// The event goes to the interface the sink advised on the event point, not
// to whatever it answers for IDispatch, and reaches a sink that answers only
// the event interface.
TEST_F(ControlEvents, TheEventGoesToTheInterfaceTheSinkAdvised) {
  ComPtr<EventSink> advised = ComPtr<EventSink>::Adopt(new EventSink());
  ComPtr<EventSink> elsewhere = ComPtr<EventSink>::Adopt(new EventSink());
  advised->forDispatch = ComPtr<IDispatch>(elsewhere.Get());
  ComPtr<EventSink> sink = ComPtr<EventSink>::Adopt(new EventSink());
  sink->forEvents = ComPtr<IDispatch>(advised.Get());
  ComPtr<EventSink> eventsOnly = ComPtr<EventSink>::Adopt(new EventSink());
  eventsOnly->answersDispatch = false;
  ASSERT_NE(Connect(control_.Get(), sink.Get()), 0u);
  ASSERT_NE(Connect(control_.Get(), eventsOnly.Get()), 0u);

  Notify("Connected");
  EXPECT_EQ(advised->received, std::vector<std::u16string>{u"Connected"});
  EXPECT_EQ(elsewhere->calls, 0);
  EXPECT_EQ(sink->calls, 0);
  EXPECT_EQ(eventsOnly->received, std::vector<std::u16string>{u"Connected"});
}

}  // namespace
}  // namespace vorlane::tests
