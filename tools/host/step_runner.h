#pragma once
// Runs the host's steps against a hosted control and its page, writing one
// line per outcome:
//   result NAME VT_BOOL true | result NAME VT_EMPTY | error NAME 0x80020003
//   property NAME "value"    cookie "url" "name=value"    cookies "url" none    released
//   notify "text" ignored | notify "text" reached the page
#include <string>

#include "event_sink.h"
#include "fake_page.h"
#include "hosted_control.h"
#include "step.h"
#include "transcript.h"

namespace vorlane::host {

// "VT_BOOL true", "VT_I4 5", "VT_BSTR \"text\"", "VT_EMPTY".
std::string DescribeValue(const VARIANT& value);

class StepRunner {
 public:
  // `events` is the sink advised on the control, or null.
  StepRunner(HostedControl& control, const FakePage& page, const EventSink* events, Transcript& transcript)
      : control_(control), page_(page), events_(events), transcript_(transcript) {}

  // False when the step failed; its "error" line says why.
  bool Run(const Step& step);

 private:
  bool Call(const Step& step);
  bool Notify(const Step& step);
  bool Save();
  bool ListCookies(const Step& step);
  bool Fail(const std::string& what, HRESULT hr);

  HostedControl& control_;
  const FakePage& page_;
  const EventSink* events_;
  Transcript& transcript_;
};

}  // namespace vorlane::host
