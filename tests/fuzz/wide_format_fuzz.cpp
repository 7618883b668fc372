// FormatWide with formats and arguments from the input: the result always
// fits and is terminated, a refused format leaves an empty text, and what it
// writes is what the C library's snprintf writes for the same directives.
//
// Input: the format on the first line, the buffer's capacity in characters
// on the second (0 to 2048), then one line per directive's argument (a
// number, or the text for %s).
#include <cstdint>
#include <memory>
#include <string>

#include "format_arguments.h"
#include "fuzz_input.h"
#include "support/wide_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  auto fields = Fields(data, size, 2 + kMaxArguments);
  std::u16string format = Wide(fields[0].value_or(""));
  format = format.substr(0, format.find(u'\0'));
  const long long asked = Number(fields[1], 64);
  const std::size_t capacity = static_cast<std::size_t>(asked < 0 ? 0 : asked > 2048 ? 2048 : asked);

  FormatPlan plan = PlanFormat(format);
  if (plan.directives.size() > kMaxArguments) return 0;
  std::vector<Argument> values = ArgumentsFrom(plan.directives, fields, 2);

  // Exactly the capacity asked for, so that a unit written past it is caught.
  auto out = std::make_unique<char16_t[]>(capacity);
  for (std::size_t i = 0; i < capacity; ++i) out[i] = u'#';
  const int written = CallWithArguments(
      [&](auto... arguments) { return FormatWide(out.get(), capacity, format.c_str(), arguments...); },
      plan.directives, values, 0);

  const std::string shown = Shown(format) + " into " + std::to_string(capacity);
  if (written < 0) {
    Require(written == -1, "a refusal is -1", shown);
    if (capacity > 0) Require(out[0] == u'\0', "a refusal leaves an empty text", shown);
  } else {
    Require(!plan.refused, "an unknown directive is refused", shown);
    Require(static_cast<std::size_t>(written) < capacity, "the text and its terminator fit", shown);
    Require(out[written] == u'\0', "the text is terminated at its length", shown);
  }

  std::optional<std::u16string> expected = plan.refused ? std::nullopt : ReferenceText(format, plan, values);
  if (!expected) return 0;
  if (expected->size() < capacity) {
    Require(written == static_cast<int>(expected->size()) &&
                std::u16string(out.get(), static_cast<std::size_t>(written)) == *expected,
            "the text is the C library's", shown + ": " + Shown(std::u16string(out.get(), written < 0 ? 0 : written)) +
                " instead of " + Shown(*expected));
  } else {
    Require(written == -1, "a text that does not fit is refused", shown + ": " + Shown(*expected));
  }
  return 0;
}
