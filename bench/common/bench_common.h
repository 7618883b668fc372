#pragma once
// What the benchmark programs share: failing with a word on stderr, the
// files beside the program, the median of a series, and the figure lines
// tools/bench reads.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vorlane::bench {

// The running program's folder, as a Windows path ending in a backslash.
inline std::u16string ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder(reinterpret_cast<const char16_t*>(path));
  return folder.substr(0, folder.find_last_of(u'\\') + 1);
}

// The control built beside the program.
inline std::u16string ControlFile() { return ProgramFolder() + u"vorlane.ocx"; }

// Ends the program with "NAME: what" on stderr, NAME the program's file name.
[[noreturn]] inline void Fail(const char* what) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path);
  name = name.substr(name.find_last_of("\\/") + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
  std::fprintf(stderr, "%s: %s\n", name.c_str(), what);
  std::exit(1);
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// "figure NAME VALUE GOAL", one line a script reads beside the prose: NAME
// says the unit (_ms, _us, _kb, _bytes) or is a ratio, GOAL is the bound the
// project holds (">=0.9", "<5") or "-" for a figure shown for context.
inline void Figure(const char* name, double value, const char* goal) {
  std::printf("figure %s %.6g %s\n", name, value, goal);
  std::fflush(stdout);
}

}  // namespace vorlane::bench
