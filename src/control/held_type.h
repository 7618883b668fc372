#pragma once
// The "type" a control exchanged, on its way to the process-wide type. It
// goes by the verdict on the page that gave it: published for an allowed
// page, dropped for a refused one, held while the page is not known yet
// (a container may exchange before it names its document). Another tab's
// page must not change how the portal's next certificate login speaks.
#include <cstdint>
#include <optional>

#include "policy/allow_list.h"
#include "support/portal_type.h"

namespace vorlane {

class HeldType {
 public:
  // A newly exchanged type replaces any held one.
  void Offer(PortalType type, PageVerdict page);
  // The page judged again: a held type is published or dropped.
  void Judge(PageVerdict page);
  bool Holding() const { return held_.has_value(); }

 private:
  std::optional<PortalType> held_;
};

}  // namespace vorlane
