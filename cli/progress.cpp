#include "cli/progress.h"

#include <unistd.h>

#include <cstdarg>

#include "cli/args.h"

// Erases the current terminal line: carriage return, then clear to its end.
static const char *const ERASE_LINE = "\r\033[K";

// Nobody reads a stream that broke (a pipe closed by `head`, a full disk):
// the run goes on without reporting.
static void stop_if_broken(cli_progress *progress) {
  if (!ferror(progress->stream)) return;
  progress->quiet = 1;
  progress->line_open = 0;
}

void progress_init(cli_progress *progress, FILE *stream, int quiet) {
  progress->stream = stream;
  progress->is_terminal = isatty(fileno(stream));
  progress->quiet = quiet;
  progress->line_open = 0;
}

void progress_stage(cli_progress *progress, const char *format, ...) {
  if (progress->quiet) return;
  va_list ap;
  va_start(ap, format);
  if (progress->is_terminal) fputs(ERASE_LINE, progress->stream);
  fputs(VELORIN_MATTE_NAME ": ", progress->stream);
  vfprintf(progress->stream, format, ap);
  va_end(ap);
  if (progress->is_terminal)
    progress->line_open = 1;
  else
    fputc('\n', progress->stream);
  fflush(progress->stream);
  stop_if_broken(progress);
}

void progress_end(cli_progress *progress) {
  if (progress->line_open) fputc('\n', progress->stream);
  progress->line_open = 0;
  fflush(progress->stream);
}
