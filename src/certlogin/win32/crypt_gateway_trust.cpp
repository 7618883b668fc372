#include "certlogin/win32/crypt_gateway_trust.h"

#include <windows.h>
#include <wincrypt.h>

#include <memory>

namespace vorlane {
namespace {

struct StoreCloser {
  void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
struct CertificateFreer {
  void operator()(const CERT_CONTEXT* certificate) const { CertFreeCertificateContext(certificate); }
};
struct EngineFreer {
  void operator()(HCERTCHAINENGINE engine) const { CertFreeCertificateChainEngine(engine); }
};
struct ChainFreer {
  void operator()(const CERT_CHAIN_CONTEXT* chain) const { CertFreeCertificateChain(chain); }
};
using CertificateStore = std::unique_ptr<void, StoreCloser>;
using Certificate = std::unique_ptr<const CERT_CONTEXT, CertificateFreer>;
using CertificateChain = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer>;
using ChainEngine = std::unique_ptr<void, EngineFreer>;

const BYTE* Bytes(const std::string& der) { return reinterpret_cast<const BYTE*>(der.data()); }

std::wstring FromAnsi(const std::string& text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  wide.resize(static_cast<std::size_t>(size - 1));
  return wide;
}

// The chain from the gateway's certificate, with what else it sent as the
// intermediates, for server authentication.
CertificateChain BuildChain(const std::vector<std::string>& sent) {
  CertificateStore intermediates(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
  if (!intermediates) return nullptr;
  for (std::size_t i = 1; i < sent.size(); ++i) {
    CertAddEncodedCertificateToStore(intermediates.get(), X509_ASN_ENCODING, Bytes(sent[i]),
                                     static_cast<DWORD>(sent[i].size()), CERT_STORE_ADD_ALWAYS, nullptr);
  }
  Certificate gateway(
      CertCreateCertificateContext(X509_ASN_ENCODING, Bytes(sent[0]), static_cast<DWORD>(sent[0].size())));
  if (!gateway) return nullptr;
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR usages[] = {serverAuth};
  CERT_CHAIN_PARA parameters{};
  parameters.cbSize = sizeof parameters;
  parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  // An engine of our own reads the trusted roots as they are now: the
  // process's default engine keeps those it read first, so a root the
  // administrator adds while the browser runs would not count until restart.
  CERT_CHAIN_ENGINE_CONFIG configuration{};
  configuration.cbSize = sizeof configuration;
  HCERTCHAINENGINE made = nullptr;
  if (!CertCreateCertificateChainEngine(&configuration, &made)) return nullptr;
  ChainEngine engine(made);
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!CertGetCertificateChain(engine.get(), gateway.get(), nullptr, intermediates.get(), &parameters, 0, nullptr,
                               &chain)) {
    return nullptr;
  }
  return CertificateChain(chain);
}

}  // namespace

bool CryptGatewayTrust::Trusts(const std::vector<std::string>& chain, const std::string& host) {
  if (chain.empty() || host.empty()) return false;
  CertificateChain built = BuildChain(chain);
  if (!built) return false;
  // Checked first and on its own: Wine's policy check below accepts a chain
  // that stops short of a trusted root, the chain's own status does not.
  if (built->TrustStatus.dwErrorStatus != CERT_TRUST_NO_ERROR) return false;
  std::wstring name = FromAnsi(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA server{};
  server.cbSize = sizeof server;
  server.dwAuthType = AUTHTYPE_SERVER;
  server.pwszServerName = name.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &server;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, built.get(), &policy, &status) &&
         status.dwError == 0;
}

}  // namespace vorlane
