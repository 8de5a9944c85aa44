// Saving the picture on show or the stroke layer as PNG.
#pragma once

#include <gtk/gtk.h>

void on_save_as(GtkWidget *widget, gpointer window);
