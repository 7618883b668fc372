#pragma once
// What the download's Windows tests share: a launcher that records what it
// was asked to start (and starts it), the installer folders, and waiting for
// detached download threads to end.
#include <mutex>
#include <string>
#include <vector>

#include "common/installer_folders.h"
#include "common/temporary_folder.h"

namespace vorlane::tests {

struct RecordedLaunch {
  std::u16string path;
  std::u16string parameters;
  std::string bytesAtLaunch;
};

// An StartElevatedFunction: records, then runs the program and waits for it.
int RecordingLauncher(const char16_t* path, const char16_t* parameters);
// Records and starts the program without waiting, as ElevatedLauncher does;
// WaitForStartedPrograms waits for those (bounded).
int StartingLauncher(const char16_t* path, const char16_t* parameters);
bool WaitForStartedPrograms();
std::vector<RecordedLaunch> TakeLaunches();

// Whether path is one of this process's private installer paths:
// <temp>VorlaneInstaller.<this process>.<n>\UpdateInstaller.exe
bool IsPrivateInstallerPath(const std::u16string& path);
std::string Utf8(const std::u16string& text);
// This test program's folder, ending in a backslash.
std::u16string ProgramFolder();
bool FileExists(const std::u16string& path);

// True once every download thread has ended (the module is no longer held).
bool WaitForDownloadThreads();

}  // namespace vorlane::tests
