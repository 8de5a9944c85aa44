// The sparse solvers' libraries: how many threads they use, and the BLAS's
// work buffer.
#pragma once

// Readies the libraries for a solve in the calling thread; call it in the
// thread that solves, before each solve (cheap after the first).
//
// Threads: the BLAS (OpenBLAS) and CHOLMOD's OpenMP loops run in the
// calling thread only. On this project's machines (2 cores shared with other
// work) their helper threads spin waiting for each other: one thread was
// faster in wall time and used a third less CPU on a 1 MP solve, and small
// solves took half the time. OpenMP's setting belongs to the calling thread
// and is made every time; OpenBLAS's is process-wide and made once.
//
// The work buffer: OpenBLAS maps one large buffer (128 MiB here) for a call
// and keeps it for later calls in any thread, but when that mapping fails it
// retries for ever: a run short of address space (ulimit -v) spun at full
// CPU inside the factorisation without end. Its idle worker threads, which
// this program never uses, each take such a buffer when they start (one
// that started late took the buffer made for the solve) and are joined at
// exit (one stuck in its retries kept the process from ending). So, once,
// while the solve's memory is not yet taken: when a mapping of the
// buffer's size can be made, the workers are stopped and a 1 x 1 Cholesky
// factorisation makes the buffer the solve will use. Returns false when
// there is no room for it; then no BLAS call may be made (the solve
// reports out of memory), and a later call tries again. Libraries without
// these controls are left as they are. Safe from any thread.
bool prepareSolverLibraries(void);
