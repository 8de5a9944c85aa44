// Copying the region of the picture on show to the clipboard.
#include "gui/clipboard.h"

#include "gui/globals.h"

static bool region_inside(GdkPixbuf *picture, int x, int y, int w, int h) {
  return w > 0 && h > 0 && x >= 0 && y >= 0 && x + w <= gdk_pixbuf_get_width(picture) &&
         y + h <= gdk_pixbuf_get_height(picture);
}

GdkPixbuf *copy_picture_region(GdkPixbuf *picture, int x, int y, int w, int h) {
  if (!region_inside(picture, x, y, w, h)) {
    return NULL;
  }
  // The sub-pixbuf shares the picture's pixels; the copy must not, since the
  // picture is rewritten by the next calculation.
  g_autoptr(GdkPixbuf) view = gdk_pixbuf_new_subpixbuf(picture, x, y, w, h);
  return gdk_pixbuf_copy(view);
}

void pixbuf_to_clipboard(GtkWidget *, gpointer) {
  g_autoptr(GdkPixbuf) copy =
      copy_picture_region(pixbuf_image, x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI);
  if (copy == NULL) {
    return;
  }
  GtkClipboard *clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_set_image(clipboard, copy);
  gtk_clipboard_store(clipboard);
}
