#pragma once
// The release folder the package target makes (build/win64/release, beside
// the bin folder of this suite) and what the tests read in it.
#include <windows.h>

#include <string>
#include <vector>

#include "support/win32/wide_text.h"

namespace vorlane::tests {

std::u16string ReleaseFile(const std::u16string& name);
// NAME in the folder of this build's architecture (x64\ or x86\).
std::u16string OwnReleaseFile(const std::u16string& name);

// Every key and value under the registration's roots and the policy key, one
// sorted line each ("key|value name|type|data", names lowered since the
// registry ignores their case): what registration and the package change.
enum class RegistryView { k64, k32 };
std::vector<std::string> RegistrationSnapshot(RegistryView view = RegistryView::k64);

// Runs a command line to its end; its exit code, or -1 when it did not start.
long RunToEnd(const std::u16string& commandLine);

// Section names and whether a certificate table is present, from PE headers.
struct PeFacts {
  std::vector<std::string> sections;
  bool signedImage = false;
  WORD machine = 0;  // IMAGE_FILE_MACHINE_AMD64 or _I386
};
PeFacts ReadPeFacts(const std::string& image);

}  // namespace vorlane::tests
