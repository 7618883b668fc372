#pragma once
// What the allow-list decision reads of the page that hosts the control.
#include <optional>
#include <string>

namespace vorlane {

class HostingPage {
 public:
  virtual ~HostingPage() = default;
  // The address of the document that hosts the control; nothing when the
  // container names no document.
  virtual std::optional<std::u16string> Address() = 0;
};

}  // namespace vorlane
