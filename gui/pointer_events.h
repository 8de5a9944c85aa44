// Drawing-area pointer handlers: they dispatch to stroke capture in edit mode
// and to the region selection in view mode.
#pragma once

#include <gtk/gtk.h>

gboolean button_press_event(GtkWidget *widget, GdkEventButton *event, gpointer data);
gboolean motion_notify_event(GtkWidget *widget, GdkEventMotion *event, gpointer data);
