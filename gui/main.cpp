// Process entry: build the window, run the main loop, release the state.
#include "gui/main_window.h"

int main(int argc, char **argv) {
  create_main_window(argc, argv);
  gtk_main();
  gdk_threads_leave();
  release_application_state();
  return 0;
}
