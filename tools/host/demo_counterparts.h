#pragma once
// The programs a portal page's control talks to, run inside the host so that
// one command shows the whole launch road: a gateway on 127.0.0.1 serving the
// client installer (a fake that records its command line), and the local VPN
// client's status service on 127.0.0.1:8000. A watcher thread reports what
// they see: each gateway request, each message the local client receives and
// each program the control starts.
#include <atomic>
#include <mutex>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "transcript.h"

namespace vorlane::tests {
class GatewaySimulator;
class LocalClientSimulator;
class LoginGateway;
}  // namespace vorlane::tests

namespace vorlane::host {

class DemoCounterparts {
 public:
  explicit DemoCounterparts(Transcript& out);
  ~DemoCounterparts();
  DemoCounterparts(const DemoCounterparts&) = delete;
  DemoCounterparts& operator=(const DemoCounterparts&) = delete;

  // On an ephemeral port; the portal page's address on it, empty on failure.
  std::u16string StartGateway();
  // The gateway's certificate login endpoint, asking for a client certificate
  // of its test CA and logging in to https://127.0.0.1:PORT/portal/home; the
  // portal page's address on it, empty on failure.
  std::u16string StartLoginGateway();
  // Puts the test CA's user certificate and its key into the personal store;
  // they are removed again when this goes, unless the store held them before.
  bool InstallClientCertificate();
  // Answers each "state" with the next of `replies`, the last one for good.
  bool StartLocalClient(const std::vector<std::string>& replies);
  // Reports what has happened since the last look; the watcher does this too.
  void Report();

 private:
  void Watch();

  Transcript& out_;
  std::unique_ptr<tests::GatewaySimulator> gateway_;
  std::unique_ptr<tests::LocalClientSimulator> client_;
  std::unique_ptr<tests::LoginGateway> login_;
  std::u16string record_;
  std::mutex report_mutex_;
  std::size_t requests_seen_ = 0, logins_seen_ = 0, messages_seen_ = 0, record_bytes_seen_ = 0;
  bool remove_certificate_ = false;
  std::atomic<bool> stop_{false};
  std::thread watcher_;
};

}  // namespace vorlane::host
