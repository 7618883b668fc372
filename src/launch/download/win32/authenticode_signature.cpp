#include "launch/download/win32/authenticode_signature.h"

#include <windows.h>
#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include "support/win32/wide_text.h"

namespace vorlane {
namespace {

// The signer's chain, built as of the time the signature counts from (its
// timestamp, or now), ends in a trusted root and allows code signing. Built
// by an engine of its own, which reads the trusted roots as they are now:
// the process's default engine (under Wine) keeps the roots it first read.
bool ChainTrusted(const CRYPT_PROVIDER_SGNR& signer, PCCERT_CONTEXT certificate) {
  CERT_CHAIN_ENGINE_CONFIG config{};
  config.cbSize = sizeof config;
  HCERTCHAINENGINE engine = nullptr;
  if (!CertCreateCertificateChainEngine(&config, &engine)) return false;
  LPSTR codeSigning[] = {const_cast<LPSTR>(szOID_PKIX_KP_CODE_SIGNING)};
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = codeSigning;
  FILETIME asOf = signer.sftVerifyAsOf;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  bool built = CertGetCertificateChain(engine, certificate, &asOf, certificate->hCertStore, &para, 0, nullptr, &chain);
  CertFreeCertificateChainEngine(engine);
  if (!built) return false;
  bool trusted = chain->TrustStatus.dwErrorStatus == CERT_TRUST_NO_ERROR;
  CERT_CHAIN_POLICY_PARA policyPara{};
  policyPara.cbSize = sizeof policyPara;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policyPara, &status) ||
      status.dwError != 0)
    trusted = false;
  CertFreeCertificateChain(chain);
  return trusted;
}

SignerNames NamesOf(PCCERT_CONTEXT certificate) {
  SignerNames names;
  wchar_t text[512] = {};
  if (CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, text, 512) > 1)
    names.simpleName = reinterpret_cast<const char16_t*>(text);
  // As Windows shows a subject: the common name first.
  if (CertNameToStrW(X509_ASN_ENCODING, &certificate->pCertInfo->Subject, CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG,
                     text, 512) > 1)
    names.distinguishedName = reinterpret_cast<const char16_t*>(text);
  return names;
}

}  // namespace

std::optional<SignerNames> AuthenticodeSignatures::TrustedSigner(FileHandle file, const std::u16string& path) {
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof fileInfo;
  fileInfo.pcwszFilePath = AsWide(path);
  fileInfo.hFile = reinterpret_cast<HANDLE>(file);  // the sealed handle: the bytes checked are the bytes started
  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  LONG verdict = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);

  std::optional<SignerNames> signer;
  if (verdict == ERROR_SUCCESS) {
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signing = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    CRYPT_PROVIDER_CERT* leaf = signing ? WTHelperGetProvCertFromChain(signing, 0) : nullptr;
    if (leaf != nullptr && leaf->pCert != nullptr && ChainTrusted(*signing, leaf->pCert)) signer = NamesOf(leaf->pCert);
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return signer;
}

}  // namespace vorlane
