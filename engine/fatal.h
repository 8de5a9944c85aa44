// The engine's one way to give up: every fatal path (exhausted heap, a
// failed small dense factorisation, a broken internal invariant) ends here,
// so the message text and exit status are decided by the caller alone.
#pragma once

#include <cstdio>

// Writes `message` to `stream` exactly as given (no line end is added) and
// ends the process with `status` (the value handed to exit()). Never
// returns. Every message goes to standard error except the solve's broken
// diagonal, which has always been reported on standard output.
[[noreturn]] void engine_fatal(const char *message, int status,
                               FILE *stream = stderr);
