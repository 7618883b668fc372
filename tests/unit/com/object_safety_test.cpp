#include "com/object_safety.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ObjectSafety, AcceptsRequestsToTurnKnownOptionsOn) {
  for (auto [mask, enabled] : {std::pair{1u, 1u}, {2u, 2u}, {3u, 3u}, {0u, 0u}, {1u, 3u}, {0u, 0xFFu}}) {
    EXPECT_TRUE(AcceptsSafetyOptions(mask, enabled)) << mask << "," << enabled;
  }
}

TEST(ObjectSafety, RefusesTurningOptionsOffAndUnknownOptions) {
  for (auto [mask, enabled] : {std::pair{1u, 0u}, {3u, 1u}, {2u, 1u}, {4u, 4u}, {8u, 8u}, {7u, 7u}}) {
    EXPECT_FALSE(AcceptsSafetyOptions(mask, enabled)) << mask << "," << enabled;
  }
}

}  // namespace
}  // namespace vorlane
