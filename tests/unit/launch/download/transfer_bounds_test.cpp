#include "launch/download/transfer_bounds.h"

#include <gtest/gtest.h>

#include "fake_internet.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;

TEST(TransferBounds, TheNearerOfDeadlineAndStallLimitsEachWait) {
  tests::FakeClock clock;
  TransferBounds bounds(clock, 100s, 30s);
  EXPECT_EQ(bounds.NextWait(), 30s);
  clock.now += 20s;
  EXPECT_EQ(bounds.NextWait(), 10s);
  bounds.Progress();  // the stall limit starts over, the deadline does not
  EXPECT_EQ(bounds.NextWait(), 30s);
  clock.now += 25s;
  bounds.Progress();
  clock.now += 40s;  // 85 s in: only 15 s of the deadline are left
  EXPECT_EQ(bounds.NextWait(), 0s);
  bounds.Progress();
  EXPECT_EQ(bounds.NextWait(), 15s);
  clock.now += 15s;
  EXPECT_TRUE(bounds.Expired());
  bounds.Progress();  // progress cannot buy time past the deadline
  EXPECT_TRUE(bounds.Expired());
}

TEST(TransferBounds, PartsOfAMillisecondRoundUpAndZeroBoundsExpireAtOnce) {
  tests::FakeClock clock;
  TransferBounds bounds(clock, 1s, 1s);
  clock.now += std::chrono::microseconds(999'500);
  EXPECT_EQ(bounds.NextWait(), 1ms);
  tests::FakeClock other;
  TransferBounds none(other, 0s, 60s);
  EXPECT_TRUE(none.Expired());
  TransferBounds negative(other, 60s, -5s);
  EXPECT_TRUE(negative.Expired());
}

}  // namespace
}  // namespace vorlane
