#pragma once
// The host's hidden window: the status poller's WM_USER+1 notifications
// become OnClientMessage events, and the reader thread's messages are run one
// call at a time on this, the host's UI thread, as the control's calls run on
// the browser's.
#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>

#include "bridge/bridge_session.h"
#include "status/status_relay.h"

namespace vorlane {

class BridgeWindow {
 public:
  BridgeWindow();
  ~BridgeWindow();
  BridgeWindow(const BridgeWindow&) = delete;
  BridgeWindow& operator=(const BridgeWindow&) = delete;

  HWND Handle() const { return window_; }
  void Attach(BridgeSession& session, StatusRelay& relay) {
    session_ = &session;
    relay_ = &relay;
  }
  // From the reader thread: hands the message to the UI thread. False when
  // the window is gone.
  bool Post(IncomingMessage message);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void OnNotification(NotificationToken token);
  // Moves what the reader handed over into the queue and runs it.
  void TakeInbox();
  // Runs queued messages in order. A message that arrives while a call shows
  // a box (whose loop dispatches it here) waits for that call to end, so
  // calls never nest; events are sent at once, as the control fires them.
  void RunQueued();
  void End();

  HWND window_ = nullptr;
  BridgeSession* session_ = nullptr;
  StatusRelay* relay_ = nullptr;
  // Filled by the reader thread; the window message that announces it
  // carries nothing, so one sent from elsewhere makes the window read only
  // what the reader put here.
  std::mutex inboxMutex_;
  std::deque<IncomingMessage> inbox_;
  std::deque<IncomingMessage> queue_;
  bool running_ = false;
  bool ended_ = false;
};

}  // namespace vorlane
