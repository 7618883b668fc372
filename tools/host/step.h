#pragma once
// The host's steps, one per command-line word, run in order:
//   call:NAME[:ARG]...   call a method by name; ARG is window, location, document,
//                        true, false, an integer, "text" or bare text
//   wait:MS              pump messages for MS milliseconds
//   notify:TEXT          send the control's window WM_USER+1 with TEXT's address, as
//                        a foreign sender would; the control must ignore it
//   save                 save the properties and show them
//   cookies[:URL]        show the cookies held for URL (default: the page address)
//   release              release the control
// A quoted text may hold \" \\ \n \r \t and \xNN (one byte); outside quotes ':'
// separates words, except that notify and cookies take the rest as it stands.
#include <optional>
#include <string>
#include <vector>

namespace vorlane::host {

struct StepArgument {
  enum class Kind { kText, kInteger, kBoolean, kWindow, kLocation, kDocument };
  Kind kind = Kind::kText;
  std::string text;  // UTF-8 bytes for kText
  long integer = 0;
  bool boolean = false;
  friend bool operator==(const StepArgument&, const StepArgument&) = default;
};

struct Step {
  enum class Kind { kCall, kWait, kNotify, kSave, kCookies, kRelease };
  Kind kind = Kind::kCall;
  std::string name;                 // kCall: the method
  std::vector<StepArgument> args;   // kCall
  unsigned long milliseconds = 0;   // kWait
  std::string text;                 // kNotify: the bytes to send; kCookies: the address, empty for the page's
};

// nullopt with `error` set when the word is not a step.
std::optional<Step> ParseStep(const std::string& word, std::string* error);

}  // namespace vorlane::host
