#pragma once
// The COM results and registry error codes that the module's logic decides
// between, with their Windows values.
#include <cstdint>

namespace vorlane {

using HResult = std::int32_t;

constexpr HResult kOk = 0;                                          // S_OK
constexpr HResult kFalse = 1;                                       // S_FALSE
constexpr HResult kSelfRegTypeLibError = static_cast<HResult>(0x80040200);  // SELFREG_E_TYPELIB
constexpr HResult kSelfRegClassError = static_cast<HResult>(0x80040201);    // SELFREG_E_CLASS
constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111);    // CLASS_E_CLASSNOTAVAILABLE

using RegistryError = long;

constexpr RegistryError kRegistrySuccess = 0;         // ERROR_SUCCESS
constexpr RegistryError kRegistryFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
constexpr RegistryError kRegistryBadKey = 1010;       // ERROR_BADKEY
constexpr RegistryError kRegistryNoMoreItems = 259;   // ERROR_NO_MORE_ITEMS

// A key that is already gone counts as removed.
constexpr bool IsDeletionSuccess(RegistryError error) {
  return error == kRegistrySuccess || error == kRegistryFileNotFound || error == kRegistryBadKey;
}

}  // namespace vorlane
