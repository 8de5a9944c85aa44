#include "engine/solve_guard.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>

bool solveCancelled(const solve_settings *settings) {
  return settings->cancel != nullptr && settings->cancel->load();
}

void returnFreedMemory(void) { malloc_trim(0); }

double residentBytes(void) {
  FILE *f = fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  unsigned long size = 0, resident = 0;
  const bool read = fscanf(f, "%lu %lu", &size, &resident) == 2;
  fclose(f);
  return read ? (double)resident * sysconf(_SC_PAGESIZE) : 0;
}

double memAvailableBytes(void) {
  FILE *f = fopen("/proc/meminfo", "r");
  if (f == nullptr) return 0;
  char line[256];
  double bytes = 0;
  while (fgets(line, sizeof line, f) != nullptr) {
    unsigned long kib = 0;
    if (sscanf(line, "MemAvailable: %lu kB", &kib) == 1) {
      bytes = (double)kib * 1024;
      break;
    }
  }
  fclose(f);
  return bytes;
}

bool factorisationFits(const solve_settings *settings, double factorisation_bytes,
                       solve_outcome *outcome) {
  const double held = residentBytes();
  double available = (double)settings->memory_limit;
  if (available == 0) {
    const double free_now = memAvailableBytes();
    if (free_now == 0) return true;
    available = held + free_now;
  }
  outcome->needed_bytes = held + factorisation_bytes;
  outcome->available_bytes = available;
  return outcome->needed_bytes <= available;
}
