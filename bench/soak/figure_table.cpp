#include "figure_table.h"

#include <cstdio>
#include <string>

#include "bench_common.h"

namespace vorlane::bench {
namespace {

constexpr long long kMemoryTargetBytes = 1024 * 1024;

// Which table of the run a row's figure line belongs to: soak1_, soak2_, ...
int tableNumber = 0;

void PrintRow(Tally& tally, const char* figure, long long before, long long after, long long limit, const char* unit,
              long long scale, bool below) {
  long long growth = after - before;
  bool met = below ? growth < limit : growth <= limit;
  (met ? tally.met : tally.missed)++;
  char target[32];
  std::snprintf(target, sizeof target, "%s%+lld %s", below ? "< " : "", limit / scale, unit);
  std::printf("    %-15s %12lld %s %12lld %s %+10lld %s   %-12s %s\n", figure, before / scale, unit, after / scale, unit,
              growth / scale, unit, target, met ? "met" : "MISSED");
  std::string name = "soak" + std::to_string(tableNumber) + "_" + figure + "_growth_" + unit;
  for (char& c : name)
    if (c == ' ') c = '_';
  while (name.back() == '_') name.pop_back();
  std::string goal = (below ? "<" : "<=") + std::to_string(limit / scale);
  Figure(name.c_str(), static_cast<double>(growth) / scale, goal.c_str());
}

}  // namespace

void PrintNewHandles(const char* when, const Snapshot& before, const Snapshot& now) {
  const std::vector<ULONG_PTR> added = NewHandles(before, now);
  std::printf("  %s: %zu", when, added.size());
  for (ULONG_PTR value : added)
    std::printf("%s0x%llx %ls", value == added.front() ? " (" : ", ", static_cast<unsigned long long>(value),
                HandleObject(value).c_str());
  std::printf("%s\n", added.empty() ? "" : ")");
}

void PrintTable(Tally& tally, const Snapshot& before, const Snapshot& after) {
  ++tableNumber;
  std::printf("    %-15s %15s %15s %13s   %-12s %s\n", "figure", "before", "after", "growth", "target", "");
  PrintRow(tally, "handles", before.handles, after.handles, 0, "  ", 1, false);
  PrintRow(tally, "threads", before.threads, after.threads, 0, "  ", 1, false);
  PrintRow(tally, "private memory", before.privateBytes, after.privateBytes, kMemoryTargetBytes, "KB", 1024, true);
  PrintRow(tally, "log file", before.logBytes, after.logBytes, 0, "B ", 1, false);
  if (after.handles != before.handles) PrintNewHandles("  handles open after, not before", before, after);
}

void PrintProgress(const char* what, const Snapshot& start, const Snapshot& now) {
  std::printf("  %s: handles %lld (%+lld), threads %lld (%+lld), private %lld KB (%+lld KB), log %lld B\n", what,
              now.handles, now.handles - start.handles, now.threads, now.threads - start.threads,
              now.privateBytes / 1024, (now.privateBytes - start.privateBytes) / 1024, now.logBytes);
}

}  // namespace vorlane::bench
