#include "bridge/bridge_page.h"

namespace vorlane {

bool BridgePage::Assign(const std::u16string& url) {
  actions_.Add(NavigateAction{false, url});
  return true;
}

bool BridgePage::Replace(const std::u16string& url) {
  actions_.Add(NavigateAction{true, url});
  return true;
}

}  // namespace vorlane
