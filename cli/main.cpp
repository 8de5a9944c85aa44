// velorin-matte: pulls an alpha matte on the command line.
#include <unistd.h>

#include <cstdio>

#ifdef VELORIN_SANITIZE
#include <sanitizer/lsan_interface.h>
#endif

#include "cli/matte_cli.h"

int main(int argc, char **argv) {
  const int status = matte_cli_main(argc, argv, stdout, stderr);
  // The run has released what it held. The libraries' exit handlers are
  // skipped: OpenBLAS's joins its worker thread, which under an
  // address-space limit (ulimit -v) can be stuck for ever retrying to map
  // its work buffer, so a finished run would never end.
  fflush(stdout);
  fflush(stderr);
#ifdef VELORIN_SANITIZE
  __lsan_do_leak_check();  // the exit handler that would have run it is skipped
#endif
  _exit(status);
}
