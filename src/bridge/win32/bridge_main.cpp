// vorlane-bridge.exe: the native messaging host. The browser starts one per
// page connection, with the extension's origin as its first argument (not
// needed: each call names its page's origin as the browser reported it).
// The standard input carries the calls, the standard output the replies and
// events; when the browser closes the input, the host stops its status relay
// and ends.
#include <windows.h>
#include <objbase.h>

#include <thread>

#include "bridge/bridge_session.h"
#include "bridge/win32/bridge_window.h"
#include "bridge/win32/stdio_pipes.h"
#include "bridge/win32/win32_bridge_members.h"
#include "policy/win32/registry_allow_list.h"
#include "status/status_relay.h"
#include "status/win32/win32_status_relay.h"

namespace vorlane {
namespace {

// Reads until the pipe ends or a message leaves it unreadable; that last
// message goes to the window too, which then ends the host.
void ReadPipe(BridgeWindow& window) {
  StdinSource input;
  MessageReader reader(input);
  for (;;) {
    IncomingMessage message = reader.Next();
    bool last = message.kind == IncomingMessage::Kind::kClosed || message.kind == IncomingMessage::Kind::kCutShort ||
                message.kind == IncomingMessage::Kind::kTooLong;
    if (!window.Post(std::move(message)) || last) return;
  }
}

int RunHost() {
  // The UI thread of the host, in a single-threaded apartment as a
  // browser's, with the security a WMI client sets for its process.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                       nullptr, EOAC_NONE, nullptr);
  BridgeWindow window;
  if (!window.Handle()) return 1;
  StatusRelay relay(Win32StatusRelayPorts());
  relay.SetWindow(reinterpret_cast<WindowHandle>(window.Handle()));
  Win32BridgeMembers members(relay);
  RegistryAllowList policy;
  StdoutSink output;
  BridgeSession session(members, policy, output);
  window.Attach(session, relay);

  std::thread reader(ReadPipe, std::ref(window));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  relay.Stop();
  reader.join();  // it ended with the message that ended the loop
  return 0;
}

}  // namespace
}  // namespace vorlane

int main() {
  // Ends here, not through the C runtime's exit: a poller told to stop may
  // still be finishing, and must not meet static objects being destroyed.
  ExitProcess(static_cast<UINT>(vorlane::RunHost()));
}
