// The calculation region and the edit/view modes.
#pragma once

#include <gtk/gtk.h>

void cb_toggle_mode(GtkWidget *button, gpointer toolbar);
void cb_draw_alpha(GtkWidget *button, gpointer window);
void toggle_calc_ROI(GtkWidget *menu_item, gpointer data);
