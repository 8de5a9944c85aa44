// Signals of a velorin-matte run.
//
// Writing faults are reported, not fatal: with SIGPIPE and SIGXFSZ ignored, a
// closed pipe on standard error or standard output and a file-size limit
// (ulimit -f) make the write fail with EPIPE or EFBIG, so progress stops and
// a result file is abandoned and removed, instead of the process dying with
// a half-written temporary file next to the output.
//
// The user's signals (INT, TERM, HUP, QUIT) still end the run, but a cleanup
// runs first while a temporary output exists. A signal the process was
// started with ignored stays ignored: `nohup velorin-matte ...` must outlive
// its terminal.
#pragma once

// Ignores SIGPIPE and SIGXFSZ from now on.
void signals_report_write_faults(void);

// Makes INT, TERM, HUP and QUIT call `cleanup` (which must be
// async-signal-safe) before they end the process the way they would have
// without it. Each of them that is ignored when this is first called stays
// ignored. Later calls only replace the cleanup.
void signals_clean_up_on_interrupt(void (*cleanup)(void));
