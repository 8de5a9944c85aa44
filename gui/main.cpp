// Process entry: read the command line, build the window with the
// calculation launcher on its Calculate button, open the picture named on
// the command line, run the main loop, release the state.
#include <cstdio>

#include "calc/gtk_calc.h"
#include "gui/calc_state.h"
#include "gui/command_line.h"
#include "gui/main_window.h"

int main(int argc, char **argv) {
  command_line line;
  g_autoptr(GError) error = NULL;
  if (!parse_command_line(&argc, &argv, TRUE, &line, &error)) {
    fprintf(stderr, "velorin: %s\n", error->message);
    return error->code == G_OPTION_ERROR_FAILED ? EXIT_NO_DISPLAY : EXIT_USAGE;
  }
  set_calculate_handler(cb_calc);
  create_main_window(argc, argv);
  if (line.check_icons) {
    // Never enters the main loop, so a check cannot leave a window waiting.
    const int status = report_toolbar_icons();
    g_free(line.picture);
    gdk_threads_leave();
    release_application_state();
    return status;
  }
  if (line.picture) g_idle_add(cb_open_command_line_picture, line.picture);
  gtk_main();
  gdk_threads_leave();
  release_application_state();
  return 0;
}
