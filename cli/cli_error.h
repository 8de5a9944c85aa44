// velorin-matte's exit statuses and its recoverable errors: a GError of the
// CLI_ERROR domain carries the one line the user reads after
// "velorin-matte: " (no trailing newline) and, as its code, the exit status
// the run ends with.
#pragma once

#include <glib.h>

enum matte_exit_status {
  MATTE_EXIT_OK = 0,
  MATTE_EXIT_INPUT = 2,   // usage error, unreadable or mismatched input, unwritable output
  MATTE_EXIT_SOLVER = 3,  // the solver failed, or the calculation was refused or ran
                          // out of memory; no output written
};

#define CLI_ERROR (cli_error_quark())
GQuark cli_error_quark(void);

// Sets *error (when error is not null) to the formatted line with `status`
// as its code; returns false, so a failing step can end with
// `return cli_fail(error, ...)`.
bool cli_fail(GError **error, matte_exit_status status, const char *format, ...)
    G_GNUC_PRINTF(3, 4);
