#pragma once
// The machine's allow-list of portal hosts: off until an administrator sets
// it; once set, only pages on a listed host may script the control.
#include "page/page.h"
#include "policy/allow_list_ports.h"

namespace vorlane {

// True when no policy is set (the page is then not even asked), or when the
// host of the hosting document's address equals one of the listed names,
// compared without regard to ASCII case. One string of the list may name
// several hosts, separated by blanks, ";" or ",". A page whose address or
// host cannot be read is refused while a policy is set.
bool PageMayScript(AllowListPolicy& policy, Page& page);

}  // namespace vorlane
