#include "control/process_wide_type.h"

#include <atomic>

namespace vorlane {
namespace {

std::atomic<std::uint16_t> processWideType{0};

}  // namespace

std::uint16_t ProcessWideType() { return processWideType.load(); }
void SetProcessWideType(std::uint16_t type) { processWideType.store(type); }

}  // namespace vorlane
