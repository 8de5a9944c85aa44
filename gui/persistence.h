// Window geometry persisted between runs.
#pragma once

#include <gtk/gtk.h>

void set_configuration(GtkWidget *window);
gboolean cb_delete_event_with_persistence(GtkWidget *widget, GdkEvent *event, gpointer data);
void pre_quit_event(GtkWidget *widget);
