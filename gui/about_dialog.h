// Help -> About.
#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

void help_about_dialog(GtkWidget *widget, gpointer window);

// Logo units per pixel for a dialog of w x h pixels: the logo is 71 x 27
// units with a one-unit left margin.
double about_logo_scale(int width, int height);

// Builds the About dialog over parent (not yet run); the caller runs and
// destroys it. help_about_dialog does both around the pointer changes.
GtkWidget *about_dialog_new(GtkWidget *parent);

gboolean on_draw_event(GtkWidget *logo_area, GdkEventExpose *event, gpointer data);
void do_drawing(cairo_t *cr, GtkWidget *logo_area);
void lower_case_e(cairo_t *cr, double x, double y);
void draw_logotype(cairo_t *cr, GtkWidget *logo_area);
