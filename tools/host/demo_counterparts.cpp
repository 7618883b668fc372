#include "demo_counterparts.h"

#include <windows.h>

#include <vector>

#include "common/temporary_folder.h"
#include "common/test_files.h"
#include "gateway_simulator.h"
#include "local_client/local_client_simulator.h"
#include "login_gateway.h"
#include "personal_store.h"
#include "text.h"

namespace vorlane::host {

DemoCounterparts::DemoCounterparts(Transcript& out) : out_(out) {
  // The fake programs append their command lines here.
  record_ = tests::TemporaryFolder() + u"vorlane-host-started.txt";
  DeleteFileW(AsWide(record_));
  SetEnvironmentVariableW(AsWide(tests::kCommandRecordVariable), AsWide(record_));
  watcher_ = std::thread([this] { Watch(); });
}

namespace {
constexpr wchar_t kHostKeyContainer[] = L"vorlane-host-user";
}  // namespace

DemoCounterparts::~DemoCounterparts() {
  stop_ = true;
  watcher_.join();
  Report();
  if (client_) client_->Stop();
  if (login_) login_->Stop();
  if (gateway_) gateway_->Stop();
  if (remove_certificate_) {
    const tests::IssuedCertificate& user = tests::TestLoginCertificates().user;
    bool removed = tests::RemoveClientCertificate(user, kHostKeyContainer);
    out_.Add(removed ? "client certificate removed from the personal store" : "error removing the client certificate");
  }
}

std::u16string DemoCounterparts::StartGateway() {
  auto gateway = std::make_unique<tests::GatewaySimulator>();
  std::u16string installer = tests::FakeProgramsFolder() + u"UpdateInstaller.exe";
  if (!gateway->Start() || !gateway->ServeInstallerFile(installer)) return {};
  std::u16string address = u"https://127.0.0.1:" + Utf16(std::to_string(gateway->Port()));
  out_.Add("gateway " + Quote(address) + " serving " + Quote(installer));
  std::lock_guard lock(report_mutex_);
  gateway_ = std::move(gateway);
  return address + u"/portals/index.html";
}

std::u16string DemoCounterparts::StartLoginGateway() {
  auto login = std::make_unique<tests::LoginGateway>();
  if (!login->Start()) return {};
  std::string origin = "https://127.0.0.1:" + std::to_string(login->Port());
  login->Script(tests::RedirectReply(origin + "/portal/home", "0123456789abcdef0123456789abcdef"));
  out_.Add("login gateway " + Quote(Utf16(origin)) + " asking for a client certificate");
  std::lock_guard lock(report_mutex_);
  login_ = std::move(login);
  return Utf16(origin) + u"/portals/index.html";
}

bool DemoCounterparts::InstallClientCertificate() {
  const tests::IssuedCertificate& user = tests::TestLoginCertificates().user;
  bool there_before = tests::HoldsCertificate(user);
  if (!tests::InstallClientCertificate(user, kHostKeyContainer)) return false;
  remove_certificate_ = !there_before;
  out_.Add("client certificate " + Quote(Utf16(tests::SubjectText(user.certificate))) + " in the personal store");
  return true;
}

bool DemoCounterparts::StartLocalClient(const std::vector<std::string>& replies) {
  using tests::LocalClientSimulator;
  if (replies.empty()) return false;
  auto client = std::make_unique<LocalClientSimulator>();
  std::vector<LocalClientSimulator::Step> script;
  std::string listed;
  for (const auto& reply : replies) {
    script.push_back(LocalClientSimulator::Reply(reply));
    listed += (listed.empty() ? "" : " then ") + Quote(Utf16(reply));
  }
  client->SetDefault(script.back());
  script.pop_back();
  client->Script(std::move(script));
  if (!client->Start()) return false;
  out_.Add("local client 127.0.0.1:8000 answering " + listed);
  std::lock_guard lock(report_mutex_);
  client_ = std::move(client);
  return true;
}

void DemoCounterparts::Report() {
  std::lock_guard lock(report_mutex_);
  if (gateway_) {
    auto requests = gateway_->Requests();
    for (; requests_seen_ < requests.size(); ++requests_seen_) {
      const auto& request = requests[requests_seen_];
      out_.Add("gateway request " + Quote(Utf16(request.requestLine)) + " cookie " +
               Quote(Utf16(request.Header("Cookie"))));
    }
  }
  if (login_) {
    auto visits = login_->Visits();
    for (; logins_seen_ < visits.size(); ++logins_seen_) {
      const auto& visit = visits[logins_seen_];
      std::string line = visit.request.substr(0, visit.request.find("\r\n"));
      std::size_t cookie = visit.request.find("Cookie: ");
      std::string cookieText =
          cookie == std::string::npos ? "" : visit.request.substr(cookie + 8, visit.request.find("\r\n", cookie) - cookie - 8);
      out_.Add("gateway request " + Quote(Utf16(line)) + " cookie " + Quote(Utf16(cookieText)) + " over " +
               visit.protocol + " client certificate " +
               (visit.clientSubject.empty() ? std::string("none") : Quote(Utf16(visit.clientSubject))));
    }
  }
  if (client_) {
    auto messages = client_->Received();
    for (; messages_seen_ < messages.size(); ++messages_seen_)
      out_.Add("local client received " + Quote(Utf16(messages[messages_seen_].text)));
  }
  std::string record = tests::ReadFileBytes(record_);
  for (std::size_t end; (end = record.find('\n', record_bytes_seen_)) != std::string::npos;
       record_bytes_seen_ = end + 1)
    out_.Add("started " + Quote(Utf16(record.substr(record_bytes_seen_, end - record_bytes_seen_))));
}

void DemoCounterparts::Watch() {
  while (!stop_) {
    Report();
    Sleep(20);
  }
}

}  // namespace vorlane::host
