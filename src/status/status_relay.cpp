#include "status/status_relay.h"

#include "status/status_channel.h"

namespace vorlane {

namespace {
constexpr char kPageOff[] = "pageOff";  // sent with its NUL: 8 bytes
}  // namespace

void SendPageOff(StatusSocketPort& sockets) {
  StatusChannel::Process().SendOnStatusSocket(sockets, kPageOff, sizeof kPageOff);
}

StatusRelay::StatusRelay(const StatusRelayPorts& ports)
    : ports_(ports), state_(std::make_shared<PollerState>()) {}

StatusRelay::~StatusRelay() {
  Stop();
  SetWindow(0);
}

void StatusRelay::SetWindow(WindowHandle window) {
  WindowHandle replaced = state_->window.exchange(window);
  if (replaced != 0 && replaced != window) NotificationHandOver::Process().Forget(replaced);
}

bool StatusRelay::Start() { return StartPollerForRun(state_, thread_, ports_.starter, ports_.notify); }

void StatusRelay::SendPageOff() { vorlane::SendPageOff(ports_.sockets); }

void StatusRelay::Stop() { StopPoller(*state_, thread_); }

std::u16string StatusRelay::EventText(const char* text) {
  char16_t converted[kNotificationCapacity];
  std::size_t length = ConvertNotificationText(ports_.converter, text, converted);
  return std::u16string(converted, length);
}

std::optional<std::u16string> StatusRelay::TakeEventText(NotificationToken token) {
  std::optional<std::string> text = NotificationHandOver::Process().Take(Window(), token);
  if (!text) return std::nullopt;
  return EventText(text->c_str());
}

}  // namespace vorlane
