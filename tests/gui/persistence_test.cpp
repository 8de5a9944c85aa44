// Window geometry between runs: start-up and closing.
#include "gui/persistence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gui/geometry_file.h"
#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

const char *const RECORD_PATH = "/Corvane/velorin/velorin-1.0";

// Under Xvfb there is no window manager, so the frame origin is the window's
// own position and moves and resizes are applied exactly as asked. The
// toolkit refuses a size that is not positive (a critical, fatal here), so
// such a record keeps the default size.
TEST(Persistence, StartUpRestoresTheStoredSizeAndClosingStoresItAgain) {
  const struct {
    window_geometry stored;
    int width, height;
  } cases[] = {{{37, 45, 500, 400}, 500, 400}, {{10, 10, 100, 0}, 320, 200}};
  for (const auto &c : cases) {
    const std::string file = std::string(getenv("APPDATA")) + RECORD_PATH;
    ASSERT_TRUE(write_geometry_file(file.c_str(), &c.stored));
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 320, 200);
    gtk_widget_show_all(window);
    set_configuration(window);
    for (int round = 0; round < 2; round++) {  // the X server's answer handled
      flush_events();
      gdk_display_sync(gdk_display_get_default());
    }
    flush_events();
    EXPECT_EQ(window->allocation.width, c.width);
    EXPECT_EQ(window->allocation.height, c.height);
    ASSERT_EQ(remove(file.c_str()), 0);
    pre_quit_event(window);
    window_geometry stored = {0, 0, 0, 0};
    ASSERT_TRUE(read_geometry_file(file.c_str(), &stored));
    EXPECT_EQ(stored.y, c.stored.y);
    EXPECT_EQ(stored.width, c.width);
    gtk_widget_destroy(window);
  }
}

}  // namespace
