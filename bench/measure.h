// Clock and memory read-outs for benchmarks.
#pragma once

#include <cstddef>

// Seconds on a monotonic clock (only differences mean anything).
double nowSeconds(void);

// CPU seconds used by this process so far, all threads: on a machine shared
// with other work this is the figure that says what one run costs.
double cpuSeconds(void);

// Peak resident memory of this process so far, in MiB.
double peakResidentMiB(void);

// Runs job(context, result) in a child process, so its peak memory is its
// own, and copies the child's `result_size` bytes of `result` back through a
// pipe. memory_limit_gib > 0 caps the child's address space (a solve that
// does not fit then fails inside the child instead of swapping the machine).
// Returns false when the child could not run or did not report.
bool runInChild(void (*job)(const void *context, void *result), const void *context, void *result,
                size_t result_size, double memory_limit_gib);
