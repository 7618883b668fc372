#include "unscripted_calls.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

namespace vorlane::host {
namespace {

std::mutex& Guard() {
  static std::mutex guard;
  return guard;
}
UnscriptedCallHandler& Handler() {
  static UnscriptedCallHandler handler;
  return handler;
}
std::vector<std::string>& Seen() {
  static std::vector<std::string> seen;
  return seen;
}

}  // namespace

void SetUnscriptedCallHandler(UnscriptedCallHandler handler) {
  std::lock_guard lock(Guard());
  Handler() = std::move(handler);
}

long ReportUnscriptedCall(const char* object, const char* member) {
  const std::string call = std::string(object) + "::" + member;
  UnscriptedCallHandler handler;
  {
    std::lock_guard lock(Guard());
    handler = Handler();
    if (!handler) Seen().push_back(call);
  }
  if (handler) {
    handler(call);
  } else {
    std::fprintf(stderr, "fake page: unscripted call %s\n", call.c_str());
    std::fflush(stderr);
  }
  return E_NOTIMPL;
}

std::vector<std::string> UnscriptedCalls() {
  std::lock_guard lock(Guard());
  return Seen();
}

}  // namespace vorlane::host
