#include "bench/measure.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

double nowSeconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

double cpuSeconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

double peakResidentMiB(void) {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // ru_maxrss is in KiB on Linux
}

bool runInChild(void (*job)(const void *context, void *result), const void *context, void *result,
                size_t result_size, double memory_limit_gib) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    close(fds[0]);
    if (memory_limit_gib > 0) {
      const rlim_t limit = (rlim_t)(memory_limit_gib * 1024 * 1024 * 1024);
      const struct rlimit cap = {limit, limit};
      setrlimit(RLIMIT_AS, &cap);
    }
    job(context, result);
    const bool sent = write(fds[1], result, result_size) == (ssize_t)result_size;
    _exit(sent ? 0 : 1);
  }
  close(fds[1]);
  const bool received = read(fds[0], result, result_size) == (ssize_t)result_size;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
