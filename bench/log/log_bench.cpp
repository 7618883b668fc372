// Lines per second of the diagnostic log against a bare write-and-flush of a
// line of the same length on the same file. Prints both and their ratio
// against the 0.95 the project holds.
//   log_bench [lines]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_common.h"
#include "common/temporary_folder.h"
#include "support/win32/wide_text.h"
#include "support/win32/win32_log_file.h"

using namespace vorlane;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 20000;
  const char16_t* message = u"create a new thread to download update.exe";
  // The same characters the log writes: 32-character prefix, message, CR LF.
  std::u16string bare = u"[INFOR][2026-01-01 00:00:00 000]" + std::u16string(message) + u"\r\n";

  const std::u16string path = tests::TemporaryFolder() + u"log_bench.log";
  DeleteFileW(AsWide(path));

  Win32LogFile file;
  DiagnosticLog log(file);
  log.Open(path.c_str());
  HANDLE handle = reinterpret_cast<HANDLE>(log.Handle());
  if (handle == INVALID_HANDLE_VALUE) {
    bench::Fail("cannot open the log file in the temporary folder");
  }

  double bestLog = 0, bestBare = 0;
  // Interleave rounds so both loops see the same disk and cache conditions.
  for (int round = 0; round < 3; ++round) {
    auto t0 = Clock::now();
    for (int i = 0; i < lines; ++i) log.Line(Info, message);
    auto t1 = Clock::now();
    for (int i = 0; i < lines; ++i) {
      DWORD written;
      WriteFile(handle, bare.data(), static_cast<DWORD>(bare.size() * 2), &written, nullptr);
      FlushFileBuffers(handle);
    }
    auto t2 = Clock::now();
    double logRate = lines / std::chrono::duration<double>(t1 - t0).count();
    double bareRate = lines / std::chrono::duration<double>(t2 - t1).count();
    if (logRate > bestLog) bestLog = logRate;
    if (bareRate > bestBare) bestBare = bareRate;
  }
  std::printf("LogInfo:          %10.0f lines/s\n", bestLog);
  std::printf("write+flush bare: %10.0f lines/s\n", bestBare);
  std::printf("ratio (log/bare): %10.3f (target >= 0.95)\n", bestLog / bestBare);
  bench::Figure("loginfo_over_bare", bestLog / bestBare, ">=0.95");
  return 0;
}
