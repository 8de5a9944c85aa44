// Stroke history with undo and redo.
#pragma once

#include <gtk/gtk.h>

void undo(GtkWidget *widget, gpointer data);
void redo(GtkWidget *widget, gpointer data);
