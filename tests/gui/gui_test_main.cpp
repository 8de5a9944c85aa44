// Entry point of gui_tests: GoogleTest with GTK initialised on the display.
// Listing the tests (test discovery) needs no display; without one the
// binary fails with a clear message instead of the toolkit's abort.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

// Window geometry is persisted under APPDATA; tests must never touch the
// user's own file, so each process gets a fresh folder of its own.
static bool use_private_appdata(void) {
  GError *error = NULL;
  char *dir = g_dir_make_tmp("velorin-gui-tests-XXXXXX", &error);
  if (!dir) {
    fprintf(stderr, "gui_tests: cannot make a temporary APPDATA folder: %s\n", error->message);
    g_error_free(error);
    return false;
  }
  setenv("APPDATA", dir, 1);
  g_free(dir);
  return true;
}

static const int DISPLAY_ATTEMPTS = 10;
static const gulong DISPLAY_RETRY_US = 200 * 1000;

// An X server without -noreset refuses connections for a moment while it
// resets after its last client left; tests started in a row can hit that.
static bool open_display(int *argc, char ***argv) {
  for (int attempt = 0; attempt < DISPLAY_ATTEMPTS; ++attempt) {
    if (gtk_init_check(argc, argv)) return true;
    g_usleep(DISPLAY_RETRY_US);
  }
  return false;
}

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

  if (!open_display(&argc, &argv)) {
    const char *display = getenv("DISPLAY");
    fprintf(stderr,
            "gui_tests: cannot open the display \"%s\"; the GUI tests need X "
            "(run them under xvfb-run -a)\n",
            display ? display : "");
    return 1;
  }
  if (!use_private_appdata()) return 1;
  return RUN_ALL_TESTS();
}
