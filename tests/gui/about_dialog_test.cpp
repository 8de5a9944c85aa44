// The About dialog: logo scale, texts, the drawn logo and the pointer.
#include "gui/about_dialog.h"
#include "gui/globals.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/gui/gui_test_support.h"

namespace {

bool label_text_found(GtkWidget *widget, const char *needle) {
  if (GTK_IS_LABEL(widget)) return strstr(gtk_label_get_text(GTK_LABEL(widget)), needle) != NULL;
  if (!GTK_IS_CONTAINER(widget)) return false;
  GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
  bool found = false;
  for (GList *l = children; l != NULL && !found; l = l->next)
    found = label_text_found(GTK_WIDGET(l->data), needle);
  g_list_free(children);
  return found;
}

// Counts the pixels of the logo area painted exactly in the logo's orange
// (0.69, 0.19, 0) and grey (0.6, 0.6, 0.6).
void count_logo_colours(GtkWidget *area, int *orange, int *grey) {
  *orange = *grey = 0;
  GdkPixbuf *shot = gdk_pixbuf_get_from_drawable(NULL, area->window, NULL, 0, 0, 0, 0,
                                                 area->allocation.width, area->allocation.height);
  if (shot == NULL) return;
  const int n = gdk_pixbuf_get_n_channels(shot), stride = gdk_pixbuf_get_rowstride(shot);
  const guchar *px = gdk_pixbuf_get_pixels(shot);
  for (int y = 0; y < gdk_pixbuf_get_height(shot); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(shot); x++) {
      const guchar *p = px + y * stride + x * n;
      if (p[0] == 176 && p[1] == 48 && p[2] == 0) ++*orange;
      if (p[0] == 153 && p[1] == 153 && p[2] == 153) ++*grey;
    }
  g_object_unref(shot);
}

}  // namespace

TEST(AboutLogo, ScaleFollowsTheTighterDimension) {
  EXPECT_NEAR(about_logo_scale(200, 200), 209.0 / 71.0, 1e-12);  // the width decides
  EXPECT_NEAR(about_logo_scale(600, 60), 60.0 / 27.0, 1e-12);    // the height decides
}

TEST(AboutDialog, ShowsNameVersionAndDrawsTheLogo) {
  GtkWidget *parent = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWidget *dialog = about_dialog_new(parent);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), "About Velorin");
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
  EXPECT_TRUE(label_text_found(dialog, "Velorin"));
  EXPECT_TRUE(label_text_found(dialog, VELORIN_VERSION));
  GList *children = gtk_container_get_children(GTK_CONTAINER(GTK_DIALOG(dialog)->vbox));
  GtkWidget *logo_area = GTK_WIDGET(children->data);
  g_list_free(children);
  ASSERT_TRUE(GTK_IS_DRAWING_AREA(logo_area));
  // The first expose can come late on a busy machine: wait for it (5 s at most).
  int orange = 0, grey = 0;
  for (int i = 0; i < 500 && (orange <= 200 || grey <= 200); i++) {
    flush_events();
    g_usleep(10000);
    count_logo_colours(logo_area, &orange, &grey);
  }
  EXPECT_GT(orange, 200);
  EXPECT_GT(grey, 200);
  gtk_widget_destroy(dialog);
  gtk_widget_destroy(parent);
}

TEST(AboutDialog, RestoresTheBlankPointerAfterClosing) {
  GtkWidget *window = create_test_window();
  answer_dialog_when_shown("About Velorin", GTK_RESPONSE_OK);
  help_about_dialog(NULL, window);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
}
