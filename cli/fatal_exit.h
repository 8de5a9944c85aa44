// How a velorin-matte run ends when it cannot go on: the engine gives up
// (engine_fatal: an exhausted heap, a failed small factorisation) or an
// allocation of the C++ library fails. Without this the engine would print
// "==> malloc() error" and exit with 255, and a failed `new` would abort,
// both outside the program's exit statuses. Instead the run ends at once
// with one "velorin-matte: failure: ..." line on its error stream, exit
// status 3 (MATTE_EXIT_SOLVER), and its temporary output (if one exists)
// removed. The end runs no exit handlers, so it cannot wait on another
// thread, and it allocates nothing.
#pragma once

#include <cstdio>
#include <new>

#include "cli/progress.h"

// For as long as it lives, ends the process that way, writing to `err`
// after ending `progress`'s running line. Not nested; one at a time.
class fatal_exit_scope {
 public:
  fatal_exit_scope(cli_progress *progress, FILE *err);
  ~fatal_exit_scope();
  fatal_exit_scope(const fatal_exit_scope &) = delete;
  fatal_exit_scope &operator=(const fatal_exit_scope &) = delete;

 private:
  std::new_handler previous_new_handler_;
};
