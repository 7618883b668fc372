#pragma once
// What the process holds at one moment: handles, threads, private memory and
// the size of the diagnostic log, as the soak compares them.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace vorlane::bench {

struct Snapshot {
  std::vector<ULONG_PTR> handleValues;  // the open ones, lowest first
  long long handles = 0;
  long long threads = 0;
  long long privateBytes = 0;
  long long logBytes = 0;
};

Snapshot TakeSnapshot();
// The handle values open in `now` that were not in `before`.
std::vector<ULONG_PTR> NewHandles(const Snapshot& before, const Snapshot& now);
// What a handle names: its kind of object ("Event", "File", ...), an event's
// kind of reset, and the object's name when it has one.
std::wstring HandleObject(ULONG_PTR value);
// How each figure is had on this platform, one line each.
void PrintFigureSources();

}  // namespace vorlane::bench
