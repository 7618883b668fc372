#pragma once
// Who signed the downloaded installer, and whether that is the publisher
// the administrator named.
#include <optional>
#include <string>

#include "launch/download/internet_port.h"

namespace vorlane {

struct SignerNames {
  std::u16string simpleName;         // "Corvanta Ltd"
  std::u16string distinguishedName;  // "CN=Corvanta Ltd, O=Corvanta Ltd, C=GB"
};

class SignatureCheck {
 public:
  virtual ~SignatureCheck() = default;
  // The signer of the file held open as `file` (at `path`) when its
  // Authenticode signature is intact and its chain ends in a trusted root;
  // nothing otherwise.
  virtual std::optional<SignerNames> TrustedSigner(FileHandle file, const std::u16string& path) = 0;
};

// True when wanted names the signer: its simple name or its distinguished
// name, compared without regard to ASCII case and to blanks around it. An
// empty wanted names no one.
bool PublisherMatches(const SignerNames& signer, const std::u16string& wanted);

}  // namespace vorlane
