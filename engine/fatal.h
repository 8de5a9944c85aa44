// The engine's one way to give up: every fatal path (exhausted heap, a
// failed small dense factorisation, a broken internal invariant) ends here,
// so the message text and exit status are decided by the caller alone.
#pragma once

#include <cstdio>

// Writes `message` to `stream` exactly as given (no line end is added) and
// ends the process with `status` (the value handed to exit()). Never
// returns. Every message goes to standard error except the solve's broken
// diagonal, which has always been reported on standard output.
// With a handler set (engine_set_fatal_handler), the handler is called
// first; should it return, the default above follows.
[[noreturn]] void engine_fatal(const char *message, int status, FILE *stream = stderr);

// A front end that has its own exit statuses and message style (the
// command line) ends the process its own way: `handler` receives the
// engine's message and status and is expected not to return. It may run on
// whichever thread failed, with the heap exhausted: it should write and
// end without allocating. Null restores the default.
typedef void (*engine_fatal_handler)(const char *message, int status);
void engine_set_fatal_handler(engine_fatal_handler handler);
