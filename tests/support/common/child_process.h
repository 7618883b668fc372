#pragma once
// Runs a program as a child process and captures what it prints, as a
// newcomer running it from a terminal would see it.
#include <windows.h>

#include <string>
#include <vector>

namespace vorlane::tests {

struct ProgramRun {
  DWORD exitCode = 0xFFFFFFFF;     // stays so when the program could not start
  std::vector<std::string> lines;  // standard output and error, line by line
};

// commandLine names the program first; waits at most `limit` for it to end
// once its output is closed.
ProgramRun RunAndCapture(const std::u16string& commandLine, DWORD limit = INFINITE);

}  // namespace vorlane::tests
