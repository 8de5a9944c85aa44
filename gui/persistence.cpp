#include "gui/persistence.h"

#include "gui/geometry_file.h"
#include "gui/globals.h"

void set_configuration(GtkWidget *window) {
  g_free(appdata);
  appdata = compose_appdata_path();
  if (appdata == NULL) return;
  window_geometry geometry;
  if (!read_geometry_file(appdata, &geometry)) return;
  // The toolkit refuses a size that is not positive; a position is applied
  // as read, off-screen or negative included.
  if (geometry.width > 0 && geometry.height > 0)
    gtk_window_resize(GTK_WINDOW(window), geometry.width, geometry.height);
  gtk_window_move(GTK_WINDOW(window), geometry.x, geometry.y);
}

void pre_quit_event(GtkWidget *widget) {
  if (appdata == NULL) return;
  GtkWidget *top = gtk_widget_get_toplevel(widget);
  window_geometry geometry = {0, 0, 0, 0};
  gint x = 0, y = 0;
  if (top->window != NULL) gdk_window_get_root_origin(top->window, &x, &y);
  geometry.x = x;
  geometry.y = y;
  geometry.width = widget->allocation.width;
  geometry.height = widget->allocation.height;
  write_geometry_file(appdata, &geometry);
}

gboolean cb_delete_event_with_persistence(GtkWidget *widget, GdkEvent *, gpointer) {
  pre_quit_event(widget);
  return FALSE;
}
