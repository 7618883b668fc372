// The diagnostic log's formatting path: a level, the local time and the
// caller's format with its arguments become one line, or nothing when a
// stage does not fit its buffer (127 characters of template, 1023 of line).
//
// Input: the level on the first line; year, month, day, hour, minute, second
// and milliseconds on the second, apart by blanks; the message format on the
// third; then one line per directive's argument.
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "fakes/fake_log_file.h"
#include "format_arguments.h"
#include "fuzz_input.h"
#include "support/diagnostic_log.h"

namespace vorlane::fuzz {
namespace {

LocalTime TimeFrom(const std::optional<std::string>& field) {
  LocalTime t{2014, 7, 9, 15, 4, 5, 123};
  if (!field) return t;
  std::istringstream in(*field);
  for (int* part : {&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second, &t.milliseconds}) {
    long long value;
    if (!(in >> value)) break;
    *part = static_cast<int>(value);
  }
  return t;
}

std::u16string Prefix(int level, const LocalTime& t) {
  const char* name = level == 0 ? "ERROR" : level == 1 ? "INFOR" : "DEBUG";
  char text[160];
  int n = std::snprintf(text, sizeof text, "[%s][%04d-%02d-%02d %02d:%02d:%02d %03d]", name, t.year, t.month, t.day,
                        t.hour, t.minute, t.second, t.milliseconds);
  return std::u16string(text, text + n);
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  auto fields = Fields(data, size, 3 + kMaxArguments);
  const int level = static_cast<int>(Number(fields[0]));
  std::u16string message = Wide(fields[2].value_or(""));
  message = message.substr(0, message.find(u'\0'));
  FormatPlan plan = PlanFormat(message);
  if (plan.directives.size() > kMaxArguments) return 0;
  std::vector<Argument> values = ArgumentsFrom(plan.directives, fields, 3);

  tests::FakeLogFile file;
  file.now = TimeFrom(fields[1]);
  DiagnosticLog log(file);
  log.Open(kClientLogPath);
  CallWithArguments(
      [&](auto... arguments) {
        log.Line(level, message.c_str(), arguments...);
        return 0;
      },
      plan.directives, values, 0);

  const std::u16string written = file.Text(kClientLogPath);
  const std::u16string prefix = Prefix(level, file.now);
  const std::string shown = Shown(message);
  Require(file.files.begin()->second.size() % 2 == 0, "the log holds whole UTF-16 units", shown);
  Require(file.writeCalls == file.flushCalls && file.writeCalls <= 1, "one write and one flush per line", shown);
  Require(written.empty() == (file.writeCalls == 0), "a write writes a line", shown);
  const bool templateFits = prefix.size() + message.size() + 2 < kLogTemplateCapacity;
  if (!written.empty()) {
    Require(templateFits, "a template over 127 characters writes nothing", shown);
    Require(!plan.refused, "a message with an unknown directive writes nothing", shown);
    Require(written.size() < kLogLineCapacity, "a line holds at most 1023 characters", shown);
    Require(written.compare(0, prefix.size(), prefix) == 0, "a line starts with level and time",
            Shown(written));
    Require(written.size() >= prefix.size() + 2 && written.compare(written.size() - 2, 2, u"\r\n") == 0,
            "a line ends with CR LF", Shown(written));
  }
  if (plan.refused) {
    Require(written.empty(), "a message with an unknown directive writes nothing", shown);
    return 0;
  }
  if (std::optional<std::u16string> expanded = ReferenceText(message, plan, values)) {
    const std::u16string line = prefix + *expanded + u"\r\n";
    const bool fits = templateFits && line.size() < kLogLineCapacity;
    Require(written == (fits ? line : u""), "the line is level, time and the expanded message, or nothing",
            shown + ": " + Shown(written) + " instead of " + Shown(fits ? line : u""));
  }
  return 0;
}
