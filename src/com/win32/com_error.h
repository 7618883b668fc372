#pragma once
// An error a member body raises with a COM code of its own; the dispatch
// layer returns that code as it stands.
#include <windows.h>

#include <stdexcept>

namespace vorlane {

class ComError : public std::runtime_error {
 public:
  explicit ComError(HRESULT code, const char* what = "COM error") : std::runtime_error(what), code_(code) {}
  HRESULT Code() const { return code_; }

 private:
  HRESULT code_;
};

}  // namespace vorlane
