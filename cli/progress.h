// Progress of one velorin-matte run on a stream (standard error), so that
// standard output stays clean. On a terminal each stage overwrites one
// running line; otherwise each stage is a plain line of its own, which logs
// and pipes keep readable. Quiet mode prints no progress at all (errors are
// not progress and are printed by the caller regardless); a stream whose
// writes fail turns quiet.
#pragma once

#include <cstdio>

struct cli_progress {
  FILE *stream;     // not owned
  int is_terminal;  // 1: overwrite a running line
  int quiet;        // 1: print nothing
  int line_open;    // 1: a running line is on screen without its newline
};

// Sets up progress on `stream`; whether it is a terminal is asked once here.
void progress_init(cli_progress *progress, FILE *stream, int quiet);

// Reports a stage ("reading picture", "solving level 2 of 3 (120 x 80)").
void progress_stage(cli_progress *progress, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

// Ends the running line, so that whatever follows starts on a fresh line.
void progress_end(cli_progress *progress);
