#pragma once
// CPU time of threads to the nanosecond, where the platform's thread times
// cannot see it: Wine counts GetThreadTimes in scheduler ticks (10 ms) and
// has no QueryThreadCycleTime, so a thread that works for microseconds reads
// 0. Under Wine each thread is a Linux thread of this process, and Linux
// keeps its CPU time in /proc/<pid>/task/<id>/schedstat, which the program
// reads through Wine's Z: drive.
#include <set>
#include <string>

namespace vorlane::bench {

// The Linux ids of this process's threads; empty where there is no /proc.
std::set<std::string> UnixThreads();
// CPU time in milliseconds that the Linux thread `id` of this process has
// used so far; negative when it cannot be read (or the thread has ended).
double UnixThreadCpuMs(const std::string& id);

}  // namespace vorlane::bench
