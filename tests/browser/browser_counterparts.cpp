// The Windows side of the real-browser suite, run under Wine in the prefix
// the native host runs in: the gateway (portal page, vorlane.js, installer,
// verify page) on 127.0.0.1 and the local VPN client's
// status service on 127.0.0.1:8000. The suite drives it over standard input,
// a command a line, each answered on standard output with lines ending "end":
//   ports                      the gateway's port
//   updater install|remove     the fake updater where the launch road looks for it
//   client STATE...            the local client answers "state" with these, the last for good
//   received                   what the local client was sent since the last look
//   requests                   the gateway's request lines since the last look, with the
//                              subject of the client certificate a request came with
//   login TARGET               the gateway asks each new connection for a client certificate
//                              and answers GET /certLogin made with one of the test CA by a
//                              redirect to TARGET; the test user's certificate is in the
//                              personal store
//   login off                  neither any more
//   reset                      signals the client's reset event (ResetUrl's)
//   quit
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "gateway_simulator.h"
#include "local_client/local_client_simulator.h"
#include "login_certificates.h"
#include "personal_store.h"

namespace {

using vorlane::tests::ClientCertificateMode;
using vorlane::tests::GatewayConnection;
using vorlane::tests::GatewaySimulator;
using vorlane::tests::LocalClientSimulator;
using vorlane::tests::RecordedRequest;

std::wstring UpdaterPath() {
  PWSTR folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramFilesX86, 0, nullptr, &folder))) path = folder;
  CoTaskMemFree(folder);
  return path + L"\\Corvanta\\Update";
}

bool InstallUpdater(bool install) {
  std::wstring folder = UpdaterPath();
  std::wstring target = folder + L"\\Update.exe";
  if (!install) {
    // A program started moments ago may still hold its file.
    for (int attempt = 0; attempt < 100; ++attempt) {
      if (DeleteFileW(target.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
      Sleep(50);
    }
    return false;
  }
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  std::u16string source = vorlane::tests::FakeProgramsFolder() + u"Update.exe";
  return CopyFileW(reinterpret_cast<const wchar_t*>(source.c_str()), target.c_str(), FALSE);
}

void Page(GatewaySimulator& gateway, const std::string& target, const std::string& title) {
  gateway.Route(target, [title](const RecordedRequest&, GatewayConnection& connection) {
    std::string body = "<!DOCTYPE html><title>" + title + "</title><p>" + title + "</p>";
    if (connection.WriteHead("200 OK", {{"Content-Type", "text/html"}, {"Content-Length", std::to_string(body.size())}}))
      connection.Write(body);
  });
}

constexpr wchar_t kUserKeyContainer[] = L"vorlane-browser-user";

// The gateway's login endpoint: a session for a certificate of the test CA,
// the reply a gateway gives without one (which names "Certificate") otherwise.
void LoginEndpoint(GatewaySimulator& gateway, const std::string& target) {
  gateway.Route("/certLogin", [target](const RecordedRequest& request, GatewayConnection& connection) {
    if (!request.clientCertificateTrusted) {
      connection.WriteHead("403 Certificate Required", {{"Content-Length", "0"}});
      return;
    }
    connection.WriteHead("302 Found", {{"Location", target},
                                       {"Set-Cookie", "Varnex_SSLID=fedcba9876543210fedcba9876543210; path=/; secure"},
                                       {"Content-Length", "0"}});
  });
}

bool Login(GatewaySimulator& gateway, const std::string& target) {
  const vorlane::tests::LoginCertificates& certificates = vorlane::tests::TestLoginCertificates();
  if (target == "off") {
    gateway.SetClientCertificateMode(ClientCertificateMode::Ignore);
    gateway.Route("/certLogin", nullptr);
    return vorlane::tests::RemoveClientCertificate(certificates.user, kUserKeyContainer);
  }
  LoginEndpoint(gateway, target);
  gateway.SetClientCertificateMode(ClientCertificateMode::Request);
  return vorlane::tests::InstallClientCertificate(certificates.user, kUserKeyContainer);
}

}  // namespace

int main() {
  GatewaySimulator gateway;
  gateway.TrustClientCertificatesFrom(vorlane::tests::TestLoginCertificates().authority.certificate);
  if (!gateway.Start() ||
      !gateway.ServeInstallerFile(vorlane::tests::FakeProgramsFolder() + u"UpdateInstaller.exe")) {
    std::printf("error: the gateway did not start\n");
    return 1;
  }
  Page(gateway, "/verify", "verify");
  Page(gateway, "/portal/home", "home");
  LocalClientSimulator client;
  client.SetDefault(LocalClientSimulator::Reply("Connected"));
  if (!client.Start()) {
    std::printf("error: 127.0.0.1:8000 is taken\n");
    return 1;
  }
  HANDLE resetEvent = CreateEventW(nullptr, TRUE, FALSE, L"Global\\Varnex-SSLVPN-Client-ResetUrlEvent");
  std::size_t requestsSeen = 0;

  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "ports") {
      std::printf("gateway %u\n", gateway.Port());
    } else if (command == "updater") {
      std::string how;
      words >> how;
      std::printf("%s\n", InstallUpdater(how == "install") ? "ok" : "error");
    } else if (command == "client") {
      std::vector<LocalClientSimulator::Step> steps;
      for (std::string state; words >> state;) steps.push_back(LocalClientSimulator::Reply(state));
      if (!steps.empty()) {
        client.SetDefault(steps.back());
        steps.pop_back();
        client.Script(std::move(steps));
      }
    } else if (command == "received") {
      for (const auto& message : client.TakeReceived()) std::printf("%s\n", message.text.c_str());
    } else if (command == "requests") {
      auto requests = gateway.Requests();
      for (; requestsSeen < requests.size(); ++requestsSeen) {
        const RecordedRequest& request = requests[requestsSeen];
        std::printf("%s cookie=%s", request.requestLine.c_str(), request.Header("Cookie").c_str());
        if (request.clientCertificatePresented) {
          std::printf(" certificate=%s%s", request.clientSubject.c_str(),
                      request.clientCertificateTrusted ? "" : " (untrusted)");
        }
        std::printf("\n");
      }
    } else if (command == "login") {
      std::string target;
      words >> target;
      if (!Login(gateway, target)) std::printf("error: the client certificate could not be set up\n");
    } else if (command == "reset") {
      SetEvent(resetEvent);
    } else if (command == "quit") {
      break;
    }
    std::printf("end\n");
    std::fflush(stdout);
  }
  CloseHandle(resetEvent);
  client.Stop();
  gateway.Stop();
  return 0;
}
