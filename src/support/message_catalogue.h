#pragma once
// Every text the system shows the user, in English (slot 0) and Simplified
// Chinese (slot 1), with the language to show it in.
#include <cstdint>

#include "support/portal_type.h"

namespace vorlane {

constexpr int kMessageCount = 24;

// Bases of the message pairs; the entry shown is base + language slot.
enum MessageBase : int {
  kMsgLoginInfoFailed = 0,
  kMsgSslEnvironmentFailed = 2,
  kMsgCapiEngineFailed = 4,
  kMsgAddressError = 6,
  kMsgConnectServerFailed = 8,
  kMsgCheckUsbKey = 10,
  kMsgLocalCertInfoFailed = 12,
  kMsgAuthenticationFailed = 14,
  kMsgCertificateInfoError = 16,
  kMsgAbnormalConnection = 18,
  kMsgConnectServerError = 20,
  kMsgStartClientError = 22,
};

// The constant text of entry 0..23, or nullptr for any other entry.
const char16_t* MessageText(int entry);
// The Windows language identifier of slot 0 or 1, or 0 for any other slot.
std::uint16_t MessageLanguage(int slot);

struct MessageChoice {
  int entry;
  int slot;
};

// Run and the installer download: the "type" (0 or 1 on that road) picks both.
MessageChoice LaunchFailureMessage(PortalType type);
// Certificate login: the base's entry in the type's login language.
MessageChoice CertLoginMessage(MessageBase base, PortalType type);

// Shows the entry in a system-modal box captioned "SSL VPN"; returns when the
// user has dismissed it. Entries or slots outside the tables show nothing.
void ShowMessage(int entry, int slot);
inline void ShowMessage(MessageChoice choice) { ShowMessage(choice.entry, choice.slot); }

}  // namespace vorlane
