// Brush tools and stroke capture (edit mode).
#pragma once

#include <gtk/gtk.h>

void cb_set_FG(GtkWidget *button, gpointer toolbar);
void cb_set_BG(GtkWidget *button, gpointer toolbar);
void cb_set_Eraser(GtkWidget *button, gpointer toolbar);
void cb_set_Color(GtkColorButton *button, gpointer toolbar);

// Edit-mode halves of the drawing-area pointer handlers.
void stroke_button_press(GtkWidget *widget, GdkEventButton *event);
void stroke_motion(GtkWidget *widget, GdkEventMotion *event, int x, int y,
                   GdkModifierType state);
