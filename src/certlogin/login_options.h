#pragma once
// What the certificate login's caller decides for it: the machine's
// hardening policy, read by the caller.
namespace vorlane {

struct LoginOptions {
  // The gateway's certificate chain must end at a root the machine trusts and
  // name the page's host (which the handshake sends as the server name); any
  // other gateway is the login's connection failure. Off: any certificate.
  bool verifyGateway = false;
};

}  // namespace vorlane
