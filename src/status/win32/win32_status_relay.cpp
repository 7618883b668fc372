#include "status/win32/win32_status_relay.h"

#include "status/win32/win32_poller_ports.h"
#include "status/win32/win32_poller_thread.h"
#include "status/win32/win32_status_sockets.h"
#include "status/win32/win32_utf8_converter.h"

namespace vorlane {

StatusRelayPorts Win32StatusRelayPorts() {
  static Win32PollerStarter starter;
  static Win32WindowNotifier notifier;
  static Win32StatusSockets sockets;
  static Win32Utf8Converter converter;
  return {starter, notifier, sockets, converter};
}

}  // namespace vorlane
