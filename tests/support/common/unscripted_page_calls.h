#pragma once
// For suites that give the control the page host's fake page: while one of
// these lives, a member of the page that no fake scripts fails the running
// test instead of passing as a quiet E_NOTIMPL.
#include <gtest/gtest.h>

#include "unscripted_calls.h"

namespace vorlane::tests {

class UnscriptedPageCallsFail {
 public:
  UnscriptedPageCallsFail() {
    host::SetUnscriptedCallHandler([](const std::string& call) {
      ADD_FAILURE() << "the control called " << call << ", which the fake page does not script";
    });
  }
  ~UnscriptedPageCallsFail() { host::SetUnscriptedCallHandler(nullptr); }
  UnscriptedPageCallsFail(const UnscriptedPageCallsFail&) = delete;
  UnscriptedPageCallsFail& operator=(const UnscriptedPageCallsFail&) = delete;
};

}  // namespace vorlane::tests
