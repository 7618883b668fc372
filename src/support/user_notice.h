#pragma once
// Failures the user is told about in a box.
#include "support/message_catalogue.h"

namespace vorlane {

class UserNotice {
 public:
  virtual ~UserNotice() = default;
  // A system-modal box; returns once the user has dismissed it.
  virtual void Show(MessageChoice message) = 0;
};

}  // namespace vorlane
