#pragma once
// The certificate login: a TLS connection of its own to the page's gateway in
// which the capi engine presents the user's certificate, one GET /certLogin,
// and from the reply the session cookies and the page's next address.
#include <cstdint>
#include <optional>
#include <string>

#include "certlogin/login_ports.h"
#include "page/page.h"
#include "support/portal_type.h"

namespace vorlane {

// The three objects of one attempt, made in this order.
struct ExchangeObjects {
  TlsContext* context = nullptr;
  TlsConnection* connection = nullptr;
  SocketHandle socket = kNoSocket;
};

// Releases the connection, then the context, then the socket, each only if
// it exists, and forgets them.
void ReleaseExchange(ExchangeObjects& objects, TlsLibrary& tls, GatewaySockets& sockets);

// The reply's first bytes: read until the header block's CR LF CR LF, 512
// bytes or the end of the connection, cut at a NUL. nullopt when the first
// read delivers nothing.
std::optional<std::string> ReadReplyHead(TlsLibrary& tls, TlsConnection* connection);

// Stores both cookies for the gateway, sends the page to target and pauses
// with the connection still open.
void CompleteLogin(const std::string& session, const std::string& target, Page& page,
                   const LoginPorts& ports);

// 1 when the page has been sent to the gateway's target; 0 on every failure,
// after its message (if it has one) was shown in the type's language.
int LoginExchange(Page& page, PortalType type, const LoginPorts& ports);

// One attempt with the page's window; page is null when the object passed to
// Run is no window, and then nothing happens. After a failure the page goes
// to its fallback address.
void CertificateLogin(Page* page, PortalType type, const LoginPorts& ports);

}  // namespace vorlane
