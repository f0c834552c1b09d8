#pragma once

#include <sys/types.h>

#include <filesystem>

namespace quorvel::bench {

// Processor time and context switches (each a wake-up of a thread that slept or was preempted).
struct ProcessUsage {
    double cpuSeconds = 0;
    double contextSwitches = 0;
};

// A live process's usage so far, summed over its threads (the kernel's scheduler statistics count CPU
// time in nanoseconds; /proc/<pid>/stat in ticks of 10 ms, too coarse here).
ProcessUsage liveUsageOf(pid_t process);

// The usage so far of the live children of `parent` (a song decodes in a process of its own). Children
// that ended are the parent's to count: getrusage(RUSAGE_CHILDREN) for this process, endedChildrenCpuSeconds
// for another.
ProcessUsage liveChildrenUsageOf(pid_t parent);

// The processor time of the children `parent` has waited for, to the tick.
double endedChildrenCpuSeconds(pid_t parent);

}  // namespace quorvel::bench
