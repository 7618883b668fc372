#pragma once
// The relay between the local VPN client and one page: a poller thread that
// passes the client's state to a window as notifications, its start and
// stop, "pageOff" for the client, and each notification turned into the text
// the page receives. The control holds one; the native messaging host holds
// one with a hidden window of its own.
#include <memory>
#include <optional>
#include <string>

#include "status/notification_hand_over.h"
#include "status/notification_text.h"
#include "status/poller_start_stop.h"
#include "status/poller_state.h"
#include "status/poller_thread.h"
#include "status/status_ports.h"

namespace vorlane {

// What the relay needs from the platform; each lives as long as the relay.
struct StatusRelayPorts {
  PollerStarter& starter;
  NotifyPort& notify;         // the window, told "Connected" when no poller starts
  StatusSocketPort& sockets;  // "pageOff" goes out on the status channel's socket
  Utf8Converter& converter;
};

class StatusRelay {
 public:
  explicit StatusRelay(const StatusRelayPorts& ports);
  // Stops a running poller, without waiting for it, and frees the texts
  // still waiting for the relay's window.
  ~StatusRelay();
  StatusRelay(const StatusRelay&) = delete;
  StatusRelay& operator=(const StatusRelay&) = delete;

  // The window that receives the notifications, 0 while there is none; the
  // pollers read it as it changes. Texts still waiting for the window it
  // replaces are freed: that window is gone.
  void SetWindow(WindowHandle window);
  WindowHandle Window() const { return state_->window.load(); }
  // Sets the keep-polling flag and starts a poller (StartPollerForRun).
  // Whether a poller runs.
  bool Start();
  // Tells the running local client that the page is going: "pageOff" with
  // its NUL on the status socket, when one is open.
  void SendPageOff();
  // Clears the flag, wakes the poller and lets go of it (StopPoller).
  void Stop();
  // A notification's UTF-8 text as the event text the page receives
  // (ConvertNotificationText).
  std::u16string EventText(const char* text);
  // The event text of the notification the window was sent with `token`
  // (the message's WPARAM); nothing when the token is not one the process's
  // senders handed over for this relay's window, or was taken already.
  std::optional<std::u16string> TakeEventText(NotificationToken token);

 private:
  StatusRelayPorts ports_;
  // Shared with every poller this relay starts, so that a poller never reads
  // a relay that has gone away.
  std::shared_ptr<PollerState> state_;
  PollerThreadSlot thread_;
};

// "pageOff" with its NUL on the process's status socket, when one is open.
void SendPageOff(StatusSocketPort& sockets);

}  // namespace vorlane
