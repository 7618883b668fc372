#include "common/child_process.h"

#include <sstream>

#include "support/win32/unique_handle.h"

namespace vorlane::tests {

ProgramRun RunAndCapture(const std::u16string& commandLine, DWORD limit) {
  ProgramRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  UniqueHandle reader(readEnd);
  SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::u16string command = commandLine;
  PROCESS_INFORMATION process{};
  BOOL started = CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(command.data()), nullptr, nullptr, TRUE, 0,
                                nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);  // the read ends when the child's copy goes
  if (!started) return run;
  UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);

  std::string output;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(reader.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  WaitForSingleObject(processHandle.Get(), limit);
  GetExitCodeProcess(processHandle.Get(), &run.exitCode);
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) run.lines.push_back(line);
  return run;
}

}  // namespace vorlane::tests
