#pragma once
// The rule at every COM entry point: nothing thrown crosses it. What a body
// throws becomes an HRESULT here, in one place.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <exception>
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

// IDispatch::Invoke's form of the rule: memory and ComError as above; any
// other error is the member's own, answered DISP_E_EXCEPTION with its text in
// the caller's exception record (when it passed one).
inline HRESULT DispatchHresultFromCurrentException(EXCEPINFO* exception) noexcept {
  const char* what = "unexpected error";
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const ComError& error) {
    return error.Code();
  } catch (const std::exception& error) {
    what = error.what();
  } catch (...) {
  }
  if (exception) {
    *exception = {};
    exception->scode = E_FAIL;
    exception->bstrSource = SysAllocString(L"vorlane");
    UINT length = 0;
    while (what && what[length]) ++length;
    // Null when memory is short: the record then carries no text.
    if (BSTR text = SysAllocStringLen(nullptr, length)) {
      for (UINT i = 0; i < length; ++i) text[i] = wchar_t(static_cast<unsigned char>(what[i]));
      exception->bstrDescription = text;
    }
  }
  return DISP_E_EXCEPTION;
}

template <typename Body>
HRESULT DispatchBoundary(EXCEPINFO* exception, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return DispatchHresultFromCurrentException(exception);
  }
}

}  // namespace vorlane
