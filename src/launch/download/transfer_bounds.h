#pragma once
// The time limits of one transfer: an overall deadline and a limit on how
// long it may go without progress. Every wait for the network asks for its
// limit here, so no peer can hold the transfer past either bound.
#include <chrono>

namespace vorlane {

using TransferTime = std::chrono::steady_clock::time_point;

class TransferClock {
 public:
  virtual ~TransferClock() = default;
  virtual TransferTime Now() = 0;
};

class SteadyTransferClock final : public TransferClock {
 public:
  TransferTime Now() override { return std::chrono::steady_clock::now(); }
};

class TransferBounds {
 public:
  // Starts both clocks now.
  TransferBounds(TransferClock& clock, std::chrono::milliseconds deadline, std::chrono::milliseconds stall);

  // How long the next wait may last: until the deadline or the stall limit,
  // whichever comes first; zero once either has passed.
  std::chrono::milliseconds NextWait();
  // Bytes moved (or a step completed): the stall limit starts over.
  void Progress();
  bool Expired() { return NextWait() == std::chrono::milliseconds::zero(); }

 private:
  TransferClock& clock_;
  TransferTime deadline_;
  std::chrono::milliseconds stall_;
  TransferTime lastProgress_;
};

}  // namespace vorlane
