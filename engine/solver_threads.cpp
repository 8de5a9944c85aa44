#include "engine/solver_threads.h"

#include <dlfcn.h>

// The controls are looked up at run time, so the engine neither needs
// OpenBLAS and an OpenMP runtime to build nor breaks with another BLAS.
static void callIfPresent(const char *function, int value) {
  typedef void (*setter)(int);
  const setter set = reinterpret_cast<setter>(dlsym(RTLD_DEFAULT, function));
  if (set != nullptr) set(value);
}

void runSolverLibrariesSingleThreaded(void) {
  callIfPresent("openblas_set_num_threads", 1);
  // CHOLMOD asks for a fixed team size in its parallel loops, which
  // omp_set_num_threads cannot lower; with no active parallel level allowed
  // every parallel region runs in the calling thread.
  callIfPresent("omp_set_max_active_levels", 0);
}
