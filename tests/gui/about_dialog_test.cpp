// Help -> About: the logo drawn in the dialog, and the pointer afterwards.
#include <gtest/gtest.h>

#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

// Counts the pixels of the logo area painted exactly in the logo's orange
// (0.69, 0.19, 0) and grey (0.6, 0.6, 0.6).
void count_logo_colours(GtkWidget *area, int *orange, int *grey) {
  *orange = *grey = 0;
  GdkPixbuf *shot = gdk_pixbuf_get_from_drawable(NULL, area->window, NULL, 0, 0, 0, 0,
                                                 area->allocation.width, area->allocation.height);
  if (shot == NULL) return;
  for (int y = 0; y < gdk_pixbuf_get_height(shot); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(shot); x++) {
      const rgba p = pixbuf_pixel(shot, x, y);
      *orange += p.r == 176 && p.g == 48 && p.b == 0;
      *grey += p.r == 153 && p.g == 153 && p.b == 153;
    }
  g_object_unref(shot);
}

class AboutDialog : public WindowTest {};

TEST_F(AboutDialog, DrawsTheLogoAndRestoresTheBlankPointerAfterClosing) {
  int orange = 0, grey = 0;
  // Answered once the logo has been exposed.
  dialog_answers answers("About Velorin", [&](GtkDialog *dialog) {
    GList *children = gtk_container_get_children(GTK_CONTAINER(dialog->vbox));
    GtkWidget *logo_area = GTK_WIDGET(children->data);
    g_list_free(children);
    count_logo_colours(logo_area, &orange, &grey);
    if (orange <= 200 || grey <= 200) return false;
    gtk_dialog_response(dialog, GTK_RESPONSE_OK);
    return true;
  });
  gtk_menu_item_activate(GTK_MENU_ITEM(menu_item("Help", 0)));
  EXPECT_EQ(answers.count(), 1);
  EXPECT_GT(orange, 200);
  EXPECT_GT(grey, 200);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
}

}  // namespace
