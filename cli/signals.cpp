#include "cli/signals.h"

#include <atomic>
#include <csignal>

static const int INTERRUPTING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

static std::atomic<void (*)(void)> interrupt_cleanup{nullptr};

static void on_interrupt(int signal_number) {
  void (*cleanup)(void) = interrupt_cleanup.load();
  if (cleanup) cleanup();
  // The default action, as if no handler had been there: the signal is
  // blocked inside its handler, so it arrives as soon as the handler returns.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void signals_report_write_faults(void) {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

void signals_clean_up_on_interrupt(void (*cleanup)(void)) {
  static bool installed = false;
  interrupt_cleanup = cleanup;
  if (installed) return;
  installed = true;
  struct sigaction action = {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  for (int s : INTERRUPTING_SIGNALS) {
    struct sigaction inherited;
    if (sigaction(s, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
    sigaction(s, &action, nullptr);
  }
}
