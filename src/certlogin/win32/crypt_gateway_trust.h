#pragma once
// The gateway's certificate judged by the platform's chain engine against
// the machine's trusted roots.
#include "certlogin/login_ports.h"

namespace vorlane {

class CryptGatewayTrust final : public GatewayTrust {
 public:
  bool Trusts(const std::vector<std::string>& chain, const std::string& host) override;
};

}  // namespace vorlane
