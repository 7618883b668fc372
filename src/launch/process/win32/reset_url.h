#pragma once
// `ResetUrl` on the real system: the VPN client signals a named event when
// the page should reload its address.

namespace vorlane {

// The event's name; each page's face opens it (or makes it) once.
constexpr wchar_t kResetUrlEventName[] = L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent";

// True once after the named reset-URL event was signalled, which it resets;
// false when it is not signalled or `resetEvent` is null.
bool ResetUrl(void* resetEvent);

}  // namespace vorlane
