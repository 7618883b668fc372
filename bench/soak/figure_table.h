#pragma once
// The soak's tables: each figure before and after, its growth, its target
// and whether the growth met it.
#include "process_figures.h"

namespace vorlane::bench {

struct Tally {
  int met = 0;
  int missed = 0;
};

// Prints the four figures' rows and counts each as met or missed.
void PrintTable(Tally& tally, const Snapshot& before, const Snapshot& after);
// One line: `when`, the number of handles new since `before` and what each names.
void PrintNewHandles(const char* when, const Snapshot& before, const Snapshot& now);
// One line of the figures now and their growth since `start`.
void PrintProgress(const char* what, const Snapshot& start, const Snapshot& now);

}  // namespace vorlane::bench
