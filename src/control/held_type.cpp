#include "control/held_type.h"

#include "control/process_wide_type.h"

namespace vorlane {

void HeldType::Offer(PortalType type, PageVerdict page) {
  held_ = type;
  Judge(page);
}

void HeldType::Judge(PageVerdict page) {
  if (!held_ || page == PageVerdict::Unknown) return;
  if (page == PageVerdict::Allowed) SetProcessWideType(*held_);
  held_.reset();
}

}  // namespace vorlane
