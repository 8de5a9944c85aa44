#include "engine/fatal.h"

#include <cstdio>
#include <cstdlib>

void engine_fatal(const char *message, int status) {
  std::fputs(message, stderr);
  std::fflush(stderr);
  std::exit(status);
}
