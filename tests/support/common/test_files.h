#pragma once
// Small helpers for reading and preparing real files in the Wine prefix.
#include <string>

namespace vorlane::tests {

// The whole file as bytes, opened so that a writer holding it does not block
// us; empty when it cannot be opened.
std::string ReadFileBytes(const std::u16string& path);
bool WriteFileBytes(const std::u16string& path, const std::string& bytes);
bool DeleteFileAt(const std::u16string& path);
// A file in the folder of the running program.
std::u16string BesideProgram(const std::u16string& fileName);
// UTF-16LE bytes as text.
std::u16string Utf16(const std::string& bytes);

}  // namespace vorlane::tests
