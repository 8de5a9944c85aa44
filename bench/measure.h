// Clock and memory read-outs for benchmarks.
#pragma once

// Seconds on a monotonic clock (only differences mean anything).
double nowSeconds(void);

// CPU seconds used by this process so far, all threads: on a machine shared
// with other work this is the figure that says what one run costs.
double cpuSeconds(void);

// Peak resident memory of this process so far, in MiB.
double peakResidentMiB(void);
