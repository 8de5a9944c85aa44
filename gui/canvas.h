// The drawing area: view composition, zoom, brush cursor, coordinate maps.
#pragma once

#include <gtk/gtk.h>

gboolean on_expose_event(GtkWidget *widget, GdkEventExpose *event, gpointer data);
gboolean configure_event(GtkWidget *widget, GdkEventConfigure *event, gpointer data);
void cb_draw_zoom(GtkAdjustment *adjustment, gpointer window);
void cb_zoom_to(GtkWidget *button, gpointer zoom_adjustment);
void cb_set_brush_size(GtkAdjustment *adjustment, gpointer toolbar);
