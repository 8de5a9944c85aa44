// One velorin-matte run: parse the command line, read the picture and the
// constraints, run the same engine input and worker body as the window's
// Calculate, and write the result PNG.
//
// Messages: --help and --version go to `out`; progress and every error go to
// `err` as "velorin-matte: ..." lines. Nothing else is written to either
// stream (the engine's level lines are turned off for the run), so standard
// output stays clean for scripts, or carries the PNG with "-o -". A stream
// that breaks (a closed pipe) makes its writes fail, not the process die.
#pragma once

#include <cstdio>

#include "cli/args.h"
#include "cli/progress.h"

enum matte_exit_status {
  MATTE_EXIT_OK = 0,
  MATTE_EXIT_INPUT = 2,   // usage error, unreadable or mismatched input, unwritable output
  MATTE_EXIT_SOLVER = 3,  // the solver reported a failure; no output written
};

// The whole program; returns its exit status.
int matte_cli_main(int argc, char **argv, FILE *out, FILE *err);

// The run with parsed arguments; returns its exit status. On any failure the
// output path keeps what it held before. "-o -" writes the PNG to `out`.
int matte_cli_run(const cli_args *args, cli_progress *progress, FILE *out, FILE *err);
