#include "engine/fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

static std::atomic<engine_fatal_handler> fatal_handler{nullptr};

void engine_set_fatal_handler(engine_fatal_handler handler) { fatal_handler = handler; }

void engine_fatal(const char *message, int status, FILE *stream) {
  const engine_fatal_handler handler = fatal_handler.load();
  if (handler != nullptr) handler(message, status);
  std::fputs(message, stream);
  std::fflush(stream);
  std::exit(status);
}
