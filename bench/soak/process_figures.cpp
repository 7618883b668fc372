#include "process_figures.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "common/process_handles.h"
#include "support/diagnostic_log.h"
#include "support/win32/unique_handle.h"

extern "C" NTSTATUS NTAPI NtQueryEvent(HANDLE event, int informationClass, void* information, ULONG length,
                                       ULONG* returned);

namespace vorlane::bench {
namespace {

long long ThreadsOfThisProcess() {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot.Get() == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  long long count = 0;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  return count;
}

// Wine answers GetProcessHandleCount with 0; there the handles are the open
// handle values counted.
long long HandleCount(const std::vector<ULONG_PTR>& values, bool* probed) {
  DWORD count = 0;
  *probed = !GetProcessHandleCount(GetCurrentProcess(), &count) || count == 0;
  return *probed ? static_cast<long long>(values.size()) : count;
}

struct EventBasicInformation {
  int type;  // 0: manual reset, 1: auto-reset
  LONG state;
};
// Wine fills only PROCESS_MEMORY_COUNTERS (cb says so) and leaves
// PrivateUsage 0; its PagefileUsage is the process's private memory.
long long PrivateBytes(bool* fromPagefileUsage) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  *fromPagefileUsage = memory.cb < sizeof memory || memory.PrivateUsage == 0;
  return static_cast<long long>(*fromPagefileUsage ? memory.PagefileUsage : memory.PrivateUsage);
}

// What the threads library does with a std::mutex that two threads contend
// for: it makes an event for waiting on the mutex then and keeps it with the
// mutex. Such handles appear once in a while during a run, whenever a mutex
// of the process meets its first contention. Returns the handles it left.
std::vector<ULONG_PTR> HandlesOfAContendedMutex(std::mutex& mutex) {
  std::vector<ULONG_PTR> before = tests::OpenHandleValues();
  std::unique_lock held(mutex);
  std::thread contender([&] { std::lock_guard waits(mutex); });
  Sleep(200);  // the contender is waiting for the mutex by now
  held.unlock();
  contender.join();
  std::vector<ULONG_PTR> left;
  for (ULONG_PTR value : tests::OpenHandleValues())
    if (!std::binary_search(before.begin(), before.end(), value)) left.push_back(value);
  return left;
}

}  // namespace

Snapshot TakeSnapshot() {
  Snapshot s;
  bool probed = false, fromPagefileUsage = false;
  s.handleValues = tests::OpenHandleValues();
  s.handles = HandleCount(s.handleValues, &probed);
  s.threads = ThreadsOfThisProcess();  // its own snapshot handle is closed again by now
  s.privateBytes = PrivateBytes(&fromPagefileUsage);
  WIN32_FILE_ATTRIBUTE_DATA log{};
  if (GetFileAttributesExW(reinterpret_cast<const wchar_t*>(kClientLogPath), GetFileExInfoStandard, &log))
    s.logBytes = (static_cast<long long>(log.nFileSizeHigh) << 32) | log.nFileSizeLow;
  return s;
}

std::vector<ULONG_PTR> NewHandles(const Snapshot& before, const Snapshot& now) {
  std::vector<ULONG_PTR> added;
  for (ULONG_PTR value : now.handleValues)
    if (!std::binary_search(before.handleValues.begin(), before.handleValues.end(), value)) added.push_back(value);
  return added;
}

std::wstring HandleObject(ULONG_PTR value) {
  alignas(8) unsigned char buffer[2048];
  ULONG length = 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(value);
  if (NtQueryObject(handle, ObjectTypeInformation, buffer, sizeof buffer, &length) != 0) return L"?";
  const auto* type = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
  std::wstring described(type->TypeName.Buffer, type->TypeName.Length / sizeof(wchar_t));
  EventBasicInformation event{};
  if (described == L"Event" && NtQueryEvent(handle, 0, &event, sizeof event, nullptr) == 0)
    described += event.type == 1 ? L" (auto-reset)" : L" (manual reset)";
  constexpr auto kObjectNameInformation = static_cast<OBJECT_INFORMATION_CLASS>(1);
  if (NtQueryObject(handle, kObjectNameInformation, buffer, sizeof buffer, &length) == 0) {
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer);
    if (name->Length) described += L" " + std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
  }
  return described;
}

void PrintFigureSources() {
  bool probed = false, fromPagefileUsage = false;
  HandleCount(tests::OpenHandleValues(), &probed);
  PrivateBytes(&fromPagefileUsage);
  std::printf("handles: %s\n", probed ? "GetProcessHandleCount answers 0 here, so the open handle values are counted "
                                        "with GetHandleInformation"
                                      : "GetProcessHandleCount");
  std::printf("threads: this process's threads in a Toolhelp snapshot\n");
  std::printf("private memory: %s\n", fromPagefileUsage ? "PrivateUsage is not filled here, so PagefileUsage"
                                                        : "PrivateUsage");
  std::printf("log file: the size of %ls\n", reinterpret_cast<const wchar_t*>(kClientLogPath));
  std::mutex mutex;
  std::printf("a std::mutex contended for the first time keeps:");
  for (ULONG_PTR value : HandlesOfAContendedMutex(mutex)) std::printf(" %ls", HandleObject(value).c_str());
  std::printf(" (until it is destroyed)\n");
}

}  // namespace vorlane::bench
