// Native messaging host figures, each beside the least work the same job
// needs, min/median/max of several runs:
//  1. host start: the browser starts the host and sends a first call, until
//     its reply; against starting a program that does nothing and ends;
//  2. Run to the page's OnClientMessage("Connected") with the updater
//     installed and the local client answering; against asking the local
//     client "state" over one TCP connection of this process;
//  3. the host's memory over `seconds` of status relay (target: growth under
//     1 MB);
//  4. the sizes the host adds to the release.
// Usage: bridge_bench [runs, default 10] [relay seconds, default 60]
// It listens on 127.0.0.1:8000: run it under flock /tmp/vorlane-8000.lock.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_common.h"
#include "bridge_process.h"
#include "local_client/local_client_simulator.h"

using namespace std::chrono;
using nlohmann::json;
using vorlane::bench::Fail;
using vorlane::bench::Median;
using vorlane::tests::BridgeProcess;
using vorlane::tests::LocalClientSimulator;

namespace {

void Print(const char* what, const std::vector<double>& ms) {
  double least = ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end());
  double most = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
  std::printf("  %-44s min %8.1f  median %8.1f  max %8.1f ms\n", what, least, Median(ms), most);
}

double Since(steady_clock::time_point start) {
  return duration<double, std::milli>(steady_clock::now() - start).count();
}

json Call(int id, const char* member) {
  return vorlane::tests::BridgeCall(id, member, json::array(), "https://gw.example/portals/index.html",
                                    "Varnex_SSLID=0123456789abcdef0123456789abcdef");
}

// The fake updater where Run looks for it, for the launch road.
struct InstalledUpdater {
  std::wstring path;
  InstalledUpdater() {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILESX86, TRUE);
    std::wstring target = std::wstring(folder) + L"\\Corvanta\\Update";
    SHCreateDirectoryExW(nullptr, target.c_str(), nullptr);
    path = target + L"\\Update.exe";
    std::u16string source = vorlane::tests::FakeProgramsFolder() + u"Update.exe";
    if (!CopyFileW(reinterpret_cast<const wchar_t*>(source.c_str()), path.c_str(), FALSE)) Fail("no fake updater");
  }
  ~InstalledUpdater() { DeleteFileW(path.c_str()); }
};

double StartNothing() {
  std::u16string sleeper = vorlane::tests::FakeProgramsFolder() + u"sleeper.exe";
  std::wstring line = L"\"" + std::wstring(reinterpret_cast<const wchar_t*>(sleeper.c_str())) + L"\" sleep 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  auto start = steady_clock::now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    Fail("cannot start sleeper.exe");
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  double ms = Since(start);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ms;
}

double AskStateOnce() {
  auto start = steady_clock::now();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(8000);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  char reply[128];
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || send(s, "state", 6, 0) != 6 ||
      recv(s, reply, sizeof reply, 0) <= 0) {
    Fail("the local client did not answer");
  }
  double ms = Since(start);
  closesocket(s);
  return ms;
}

SIZE_T HostMemory(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

long long FileSize(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(reinterpret_cast<const wchar_t*>(path.c_str()), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 10;
  int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  LocalClientSimulator client;
  client.SetDefault(LocalClientSimulator::Reply("Connected"));
  if (!client.Start()) Fail("cannot listen on 127.0.0.1:8000");
  InstalledUpdater updater;

  std::printf("host start (%d runs)\n", runs);
  std::vector<double> hostStart, nothing;
  for (int i = 0; i < runs; ++i) {
    auto start = steady_clock::now();
    BridgeProcess host;
    if (!host.Started() || !host.Send(Call(1, "ResetUrl")) || !host.NextReply(30s)) Fail("the host did not answer");
    hostStart.push_back(Since(start));
    nothing.push_back(StartNothing());
  }
  Print("connect to first reply", hostStart);
  Print("least work: start a program that ends", nothing);

  std::printf("Run to OnClientMessage(\"Connected\") (%d runs)\n", runs);
  std::vector<double> connected, asked;
  for (int i = 0; i < runs; ++i) {
    BridgeProcess host;
    if (!host.Send(Call(1, "ResetUrl")) || !host.NextReply(30s)) Fail("the host did not answer");
    auto start = steady_clock::now();
    host.Send(Call(2, "Run"));
    while (host.Events().empty() && Since(start) < 30000) Sleep(1);
    if (host.Events().empty()) Fail("no event within 30 s");
    connected.push_back(Since(start));
    asked.push_back(AskStateOnce());
  }
  Print("call to the event through the host", connected);
  Print("least work: one \"state\" asked over TCP", asked);

  if (seconds > 0) {
    std::printf("memory over %d s of status relay\n", seconds);
    BridgeProcess host;
    if (!host.Send(Call(1, "Run")) || !host.NextReply(30s)) Fail("Run did not answer");
    Sleep(2000);  // the relay's first answer and what the first call sets up once
    HANDLE process = host.ProcessHandle();
    SIZE_T before = HostMemory(process);
    std::size_t eventsBefore = host.Events().size();
    for (int t = 0; t < seconds; t += 10) {
      Sleep(static_cast<DWORD>(std::min(10, seconds - t)) * 1000);
      std::printf("  %4d s: %8.1f KB, %zu events\n", std::min(t + 10, seconds), HostMemory(process) / 1024.0,
                  host.Events().size() - eventsBefore);
    }
    long long growth = static_cast<long long>(HostMemory(process)) - static_cast<long long>(before);
    std::printf("  growth %.1f KB (target under 1024 KB): %s\n", growth / 1024.0, growth < 1024 * 1024 ? "met" : "NOT met");
  }

  std::printf("sizes the host adds to the release\n");
  std::u16string release = vorlane::bench::ProgramFolder() + u"..\\release\\";
  for (const char16_t* name : {u"vorlane-bridge.exe", u"com.vorlane.bridge.json", u"com.vorlane.bridge.firefox.json"}) {
    std::printf("  %-34ls %10lld bytes\n", reinterpret_cast<const wchar_t*>(name), FileSize(release + name));
  }
  client.Stop();
  return 0;
}
