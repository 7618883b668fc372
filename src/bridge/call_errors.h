#pragma once
// The error replies of the host: what went wrong, in words for the page's
// developer, and the call it belongs to when its id could be read.
#include <cstdint>
#include <optional>
#include <string>

namespace vorlane {

// Codes the extension tells apart.
constexpr char kErrorTooLong[] = "too-long";       // over the incoming limit; the host ends
constexpr char kErrorBadJson[] = "bad-json";       // zero length, not JSON or not UTF-8
constexpr char kErrorBadRequest[] = "bad-request"; // unknown member, missing or wrongly typed field
constexpr char kErrorRefused[] = "refused";        // the machine's policy refuses the page
constexpr char kErrorFailed[] = "failed";          // the member could not be carried out

struct CallError {
  std::optional<std::uint64_t> id;
  std::string code;
  std::string message;
};

}  // namespace vorlane
