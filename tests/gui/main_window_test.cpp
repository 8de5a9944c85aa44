// The main window as start-up leaves it, its accelerators, the status bar,
// the error dialog and shutdown.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <glib/gstdio.h>

#include <cstdlib>
#include <string>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/toolbar.h"
#include "tests/gui/gui_test_support.h"

namespace {

class MainWindow : public WindowTest {};

GtkAdjustment *item_adjustment(int item) {
  GtkWidget *child = gtk_bin_get_child(GTK_BIN(toolbar_item(item)));
  return GTK_IS_SPIN_BUTTON(child) ? gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(child))
                                   : gtk_range_get_adjustment(GTK_RANGE(child));
}

// Events are sent straight to the handlers in the other tests, so only the
// mask shows whether the drawing area receives them at all.
TEST_F(MainWindow, StartUpLoadsTheIconsAndLetsTheDrawingAreaAndSlidersWork) {
  EXPECT_EQ(count_missing_toolbar_icons(toolbar), 0);
  const gint needed = GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                      GDK_LEAVE_NOTIFY_MASK;
  EXPECT_EQ(gtk_widget_get_events(drawing_area) & needed, needed);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  EXPECT_EQ(item_adjustment(TB_ZOOM_SCALE), item_adjustment(TB_ZOOM_SPIN));
  EXPECT_EQ(item_adjustment(TB_BRUSH_SCALE), item_adjustment(TB_BRUSH_SPIN));
  EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(toolbar_item(TB_ALPHA))));  // no result yet
}

TEST(MainWindowIcons, MissingOnesDoNotStopStartUp) {
  char *empty = g_dir_make_tmp("velorin-no-icons-XXXXXX", NULL);
  ASSERT_NE(empty, nullptr);
  setenv("ICON_DIR", empty, 1);
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  EXPECT_TRUE(gtk_widget_get_visible(create_main_window(1, argv)));
  EXPECT_EQ(count_missing_toolbar_icons(toolbar), 4);
  g_rmdir(empty);
  g_free(empty);
}

// One test uses the clipboard: it is shared by every process on the display,
// and two tests owning it at once would answer each other's requests.
TEST_F(MainWindow, AcceleratorsReachUndoRedoTheRegionFlagAndCopy) {
  open_picture(40, 30, patterned, true);
  stroke({{5, 5}, {20, 5}});
  auto press = [](guint key) {
    return gtk_accel_groups_activate(G_OBJECT(main_window), key, GDK_CONTROL_MASK);
  };
  ASSERT_TRUE(press(GDK_KEY_z));
  EXPECT_EQ(current, nullptr);
  ASSERT_TRUE(press(GDK_KEY_y));
  EXPECT_EQ(current, history);
  ASSERT_TRUE(press(GDK_KEY_f));
  EXPECT_EQ(calc_ROI_is_set, 1);

  set_view_mode(true);
  GtkClipboard *clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_set_text(clipboard, "kept", -1);
  x_img_ROI = y_img_ROI = 10, w_img_ROI = 0, h_img_ROI = 20;
  ASSERT_TRUE(press(GDK_KEY_c));  // an empty region copies nothing
  gchar *text = gtk_clipboard_wait_for_text(clipboard);
  EXPECT_STREQ(text, "kept");
  g_free(text);
  w_img_ROI = 20;
  ASSERT_TRUE(press(GDK_KEY_c));
  GdkPixbuf *pasted = gtk_clipboard_wait_for_image(clipboard);
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(pasted), 20);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pasted));
  EXPECT_EQ(pixbuf_pixel(pasted, 19, 0).a, patterned(29, 10).a);
  g_object_unref(pasted);
}

TEST_F(MainWindow, StatusBarKeepsOneMessagePerContextAndShowsTheLatest) {
  for (const char *readout : {"pixel 0", "pixel 1", "pixel 2"}) update_statusbar(readout, 0, status_bar);
  update_statusbar("save failed", 1, status_bar);
  update_statusbar("save failed again", 1, status_bar);
  EXPECT_EQ(g_slist_length(GTK_STATUSBAR(status_bar)->messages), 2u);
  update_statusbar("pixel 3", 0, status_bar);
  EXPECT_EQ(statusbar_text(), "pixel 3");
  // Removing context 0's message uncovers context 1's, not an older read-out.
  gtk_statusbar_pop(GTK_STATUSBAR(status_bar), 0);
  EXPECT_EQ(statusbar_text(), "save failed again");
}

TEST_F(MainWindow, ErrorDialogIsModalOverTheTopmostDialogAndRestoresTheBlankPointer) {
  GtkWindow *parent = NULL;
  GdkCursor *cursor = blank_cursor;
  auto inspect = [&](GtkDialog *dialog) {
    parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
    cursor = drawing_area_cursor();
    gtk_dialog_response(dialog, GTK_RESPONSE_NONE);
    return true;
  };
  {
    dialog_answers answers("Error", inspect);
    error_message_dialog(drawing_area, "File open error: no such file");
    EXPECT_EQ(answers.first_text(), "File open error: no such file");
  }
  EXPECT_EQ(parent, GTK_WINDOW(main_window));
  EXPECT_EQ(cursor, nullptr);  // the arrow while the dialog runs
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  flush_events();
  EXPECT_EQ(find_shown_window("Error"), nullptr);

  // With a modal dialog open over the window (a result failing while the
  // options dialog is open), the message goes over that dialog, not behind it.
  GtkWidget *open_dialog = gtk_dialog_new_with_buttons(
      "options", GTK_WINDOW(main_window), GTK_DIALOG_MODAL, GTK_STOCK_OK, GTK_RESPONSE_OK, NULL);
  gtk_widget_show(open_dialog);
  {
    dialog_answers answers("Error", inspect);
    error_message_dialog(drawing_area, "failure: out_of_memory");
  }
  EXPECT_EQ(parent, GTK_WINDOW(open_dialog));
  gtk_widget_destroy(open_dialog);
}

TEST_F(MainWindow, ClosingTheWindowLeavesTheMainLoopAndReleasesTheState) {
  close_main_window();  // fails unless the destroy handler quits the loop
  EXPECT_FALSE(window_alive);
  // Records of two strokes and a trimatte layer, as painting leaves them.
  for (int i = 0; i < 2; ++i) history = g_list_append(history, g_new0(double, 12));
  current = g_list_last(history);
  initialisinglayer = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 4, 4);
  release_application_state();
  for (const void *released : {(const void *)pixbuf_no_alpha, (const void *)pixbuf_alpha,
                               (const void *)surf_layer, (const void *)win_surf,
                               (const void *)initialisinglayer, (const void *)history,
                               (const void *)current})
    EXPECT_EQ(released, nullptr);
  // Anything not released shows up as a leak in the sanitizer build.
}

}  // namespace
