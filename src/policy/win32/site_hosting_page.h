#pragma once
// The hosting page as a browser shows it to a control: the client site's
// container is the page's document, whose URL is the page's address.
#include <windows.h>
#include <oleidl.h>

#include "policy/allow_list_ports.h"

namespace vorlane {

class SiteHostingPage final : public HostingPage {
 public:
  // The site may be null (a control not yet placed in a container).
  explicit SiteHostingPage(IOleClientSite* site) : site_(site) {}
  std::optional<std::u16string> Address() override;

 private:
  IOleClientSite* site_;
};

}  // namespace vorlane
