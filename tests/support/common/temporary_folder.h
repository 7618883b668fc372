#pragma once
// The Wine prefix's folder for temporary files.
#include <string>

namespace vorlane::tests {

// The user's temporary folder, ending in a backslash.
std::u16string TemporaryFolder();

}  // namespace vorlane::tests
