#pragma once
// The rule at every COM entry point: nothing thrown crosses it. What a body
// throws becomes an HRESULT here, in one place.
#include <windows.h>

#include <new>

#include "com/win32/com_error.h"

namespace vorlane {

// The HRESULT for the exception being handled: E_OUTOFMEMORY when memory ran
// out, the carried code of a ComError, E_UNEXPECTED for anything else. Call
// only inside a catch block.
inline HRESULT HresultFromCurrentException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const ComError& error) {
    return error.Code();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Runs an entry point's body and returns its HRESULT, or that of what it threw.
template <typename Body>
HRESULT ComBoundary(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return HresultFromCurrentException();
  }
}

}  // namespace vorlane
