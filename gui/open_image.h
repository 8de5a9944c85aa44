// Opening pictures in the three open modes.
#pragma once

#include <gtk/gtk.h>

void on_open_image(GtkWidget *widget, gpointer toolbar);
