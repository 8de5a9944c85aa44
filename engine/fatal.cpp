#include "engine/fatal.h"

#include <cstdlib>

void engine_fatal(const char *message, int status, FILE *stream) {
  std::fputs(message, stream);
  std::fflush(stream);
  std::exit(status);
}
