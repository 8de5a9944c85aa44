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
#include "cli/cli_error.h"
#include "cli/progress.h"

// The whole program; returns its exit status (matte_exit_status). A run
// that runs out of memory or that the engine gives up on ends the process
// with status 3 (see fatal_exit.h).
int matte_cli_main(int argc, const char *const *argv, FILE *out, FILE *err);

// The run with parsed arguments; returns its exit status. On any failure the
// output path keeps what it held before. "-o -" writes the PNG to `out`.
int matte_cli_run(const cli_args *args, cli_progress *progress, FILE *out, FILE *err);
