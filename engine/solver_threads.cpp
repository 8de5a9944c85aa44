#include "engine/solver_threads.h"

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstddef>
#include <mutex>

// OpenBLAS 0.3's work buffer on x86-64 (BUFFER_SIZE of Debian's
// dynamic-architecture build: 128 MiB) plus the pages it adds for alignment
// and its header; a failed mapping of it is what never ends.
static const size_t kBlasBufferProbeBytes = (size_t(128) << 20) + (size_t(2) << 20);

// The controls are looked up at run time, so the engine neither needs
// OpenBLAS and an OpenMP runtime to build nor breaks with another BLAS.
static void *libraryFunction(const char *name) { return dlsym(RTLD_DEFAULT, name); }

static void callIfPresent(const char *function, int value) {
  typedef void (*setter)(int);
  const setter set = reinterpret_cast<setter>(libraryFunction(function));
  if (set != nullptr) set(value);
}

// Whether `bytes` of fresh memory can be mapped now, as the BLAS maps its
// buffer (readable, writable, counted against the address-space limit and,
// under strict overcommit, the commit limit); nothing is touched or kept.
static bool roomToMap(size_t bytes) {
  void *block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return false;
  munmap(block, bytes);
  return true;
}

// OpenBLAS's thread count, its workers and its buffer, once per process.
static bool prepareBlas(void) {
  static std::mutex lock;
  static bool ready = false;
  const std::lock_guard<std::mutex> hold(lock);
  if (ready) return true;
  typedef void (*cholesky)(const char *, const int *, double *, const int *, int *);
  const cholesky factor = reinterpret_cast<cholesky>(libraryFunction("dpotrf_"));
  if (factor != nullptr && !roomToMap(kBlasBufferProbeBytes)) return false;
  // One thread first: OpenBLAS would start new workers for any later call
  // that asks for more than one, and this one must never be repeated after
  // the workers are stopped (any thread-count call starts them again).
  callIfPresent("openblas_set_num_threads", 1);
  // The call OpenBLAS itself makes before a fork: it ends the workers,
  // which hand their buffers back to the pool.
  typedef int (*shutdown)(void);
  const shutdown stopWorkers = reinterpret_cast<shutdown>(libraryFunction("blas_thread_shutdown_"));
  if (stopWorkers != nullptr) stopWorkers();
  if (factor != nullptr) {
    double a = 1.0;
    const int n = 1;
    int info = 0;
    factor("L", &n, &a, &n, &info);
  }
  ready = true;
  return true;
}

bool prepareSolverLibraries(void) {
  // CHOLMOD asks for a fixed team size in its parallel loops, which
  // omp_set_num_threads cannot lower; with no active parallel level allowed
  // every parallel region runs in the calling thread.
  callIfPresent("omp_set_max_active_levels", 0);
  return prepareBlas();
}
