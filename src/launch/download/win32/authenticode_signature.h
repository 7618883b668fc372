#pragma once
// The installer's Authenticode signer through WinVerifyTrust on the open
// file, with the signer's chain checked again here: Wine's WinVerifyTrust
// answers S_OK for a chain that ends in a root nobody trusts.
#include "launch/download/installer_signature.h"

namespace vorlane {

class AuthenticodeSignatures final : public SignatureCheck {
 public:
  std::optional<SignerNames> TrustedSigner(FileHandle file, const std::u16string& path) override;
};

}  // namespace vorlane
