// How many threads the sparse solvers' libraries use.
#pragma once

// Makes the BLAS (OpenBLAS) and CHOLMOD's OpenMP loops run in the calling
// thread only. On this project's machines (2 cores shared with other work)
// their helper threads spin waiting for each other: one thread was faster
// in wall time and used a third less CPU on a 1 MP solve, and small solves
// took half the time. OpenMP's setting belongs to the calling thread, so
// the solve calls this in the thread it runs on, every time (cheap).
// Libraries without these controls are left as they are.
void runSolverLibrariesSingleThreaded(void);
