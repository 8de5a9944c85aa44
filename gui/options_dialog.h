// The calculation options dialog.
#pragma once

#include <gtk/gtk.h>

void gtk_options_dialog_open(GtkWidget *widget, gpointer record);
