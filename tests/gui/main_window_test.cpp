// The main window: start-up, accelerators and the error dialog.
#include "gui/main_window.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui/globals.h"
#include "gui/toolbar.h"
#include "tests/gui/gui_test_support.h"

namespace {

class MainWindow : public WindowTest {};

// Events are sent straight to the handlers in the other tests, so only the
// mask shows whether the drawing area receives them at all.
TEST_F(MainWindow, StartUpLoadsTheIconsAndLetsTheDrawingAreaReceiveThePointer) {
  EXPECT_EQ(count_missing_toolbar_icons(toolbar), 0);
  const gint needed =
      GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_LEAVE_NOTIFY_MASK;
  EXPECT_EQ(gtk_widget_get_events(drawing_area) & needed, needed);
}

TEST(MainWindowIcons, MissingOnesDoNotStopStartUp) {
  setenv("ICON_DIR", "/nonexistent/velorin-icons", 1);
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  EXPECT_TRUE(gtk_widget_get_visible(create_main_window(1, argv)));
  EXPECT_EQ(count_missing_toolbar_icons(toolbar), 4);
}

// One test uses the clipboard: it is shared by every process on the display,
// and two tests owning it at once would answer each other's requests.
TEST_F(MainWindow, AcceleratorsReachUndoRedoTheRegionFlagAndCopyTheResult) {
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
  x_img_ROI = y_img_ROI = 10, w_img_ROI = h_img_ROI = 20;
  ASSERT_TRUE(press(GDK_KEY_c));
  GdkPixbuf *pasted = gtk_clipboard_wait_for_image(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(pasted), 20);
  EXPECT_EQ(pixbuf_pixel(pasted, 19, 0).a, patterned(29, 10).a);
  g_object_unref(pasted);
}

// Over the topmost modal dialog (a result failing while the options dialog
// is open), not behind it.
TEST_F(MainWindow, ErrorDialogIsModalOverTheTopmostDialog) {
  GtkWidget *open_dialog = gtk_dialog_new_with_buttons(
      "options", GTK_WINDOW(main_window), GTK_DIALOG_MODAL, GTK_STOCK_OK, GTK_RESPONSE_OK, NULL);
  gtk_widget_show(open_dialog);
  GtkWindow *parent = NULL;
  {
    dialog_answers answers("Error", [&](GtkDialog *dialog) {
      parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
      EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
      gtk_dialog_response(dialog, GTK_RESPONSE_NONE);
      return true;
    });
    error_message_dialog(drawing_area, "failure: out_of_memory");
    EXPECT_EQ(answers.first_text(), "failure: out_of_memory");
  }
  EXPECT_EQ(parent, GTK_WINDOW(open_dialog));
  gtk_widget_destroy(open_dialog);
}

}  // namespace
