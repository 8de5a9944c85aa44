// Copying the region of the picture on show to the clipboard.
#pragma once

#include <gtk/gtk.h>

void pixbuf_to_clipboard(GtkWidget *widget, gpointer data);
