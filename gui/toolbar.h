// The main window's toolbar: the 15 items in their binding order (see
// toolbar_item_index in gui/globals.h), their tooltips, handlers and the zoom
// and brush-size adjustments.
#pragma once

#include <gtk/gtk.h>

// Zoom adjustment (percent) and brush-size adjustment (diameter in image
// pixels): value, lower, upper, step and page increments; page size is 0.
struct adjustment_values {
  double value, lower, upper, step, page;
};
extern const adjustment_values ZOOM_ADJUSTMENT;
extern const adjustment_values BRUSH_ADJUSTMENT;

// Fills the empty toolbar `bar` with items 0 to 14 and connects their
// handlers; `window` is the main window, the user data of the handlers that
// take it. Icons are read from icon_prefix + file name; a missing file shows
// the toolkit's missing-image icon.
void populate_toolbar(GtkWidget *bar, GtkWidget *window, const char *icon_prefix);

// How many of the four items with an icon file (mode toggle, ALPHA, FG, BG)
// of the populated toolbar `bar` show the toolkit's missing-image icon
// instead of their file: 0 when every file loaded.
int count_missing_toolbar_icons(GtkWidget *bar);
