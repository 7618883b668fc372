#include "control/process_wide_type.h"

#include <atomic>

namespace vorlane {
namespace {

std::atomic<std::uint16_t> processWideType{0};

}  // namespace

PortalType ProcessWideType() { return processWideType.load(); }
void SetProcessWideType(PortalType type) { processWideType.store(type.Value()); }

}  // namespace vorlane
