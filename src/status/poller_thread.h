#pragma once
// A running poller as its owner holds it: the thread can be woken from its
// pause, and letting go of the object closes the owner's handle without
// waiting for the thread.
#include <memory>

namespace vorlane {

class PollerThread {
 public:
  virtual ~PollerThread() = default;
  // Ends the poller's alertable pause at once; a poller busy elsewhere sees
  // the wake-up at its next pause.
  virtual void Wake() = 0;
};

using PollerThreadSlot = std::unique_ptr<PollerThread>;

}  // namespace vorlane
