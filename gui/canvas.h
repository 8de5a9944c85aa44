// The drawing area: view composition, zoom, brush cursor and the redraw
// areas that follow the pointer, the brush size and the tool.
//
// `win_surf` (ARGB32, window pixels) holds the view: `pixbuf_image` scaled
// by `scale`, with `surf_layer` over it in edit mode. The window shows
// `win_surf` at (0, 0); the brush cursor is drawn over it on the window only.
#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

#include "gui/coords.h"

// The snapping grid of the view right now: `scale` and the brush `radius`.
snap_grid view_snap_grid(void);

// Queues a redraw of `area` (window pixels) on `widget`.
void queue_view_area(GtkWidget *widget, pixel_rect area);

// Repaints the rectangle (window pixels, whole pixels inside it) of
// `win_surf` from the layers: cleared, then `pixbuf_image` and in edit mode
// `surf_layer` over it, at the current `scale`.
void compose_win_surf_area(double x, double y, double width, double height);
// Clears `win_surf` and paints the composition into it at the current
// `scale`: `pixbuf_image`, then `surf_layer` in edit mode. Keeps its size.
void compose_win_surf(void);
// Replaces `win_surf` by a surface of the zoomed size of `pixbuf_image`,
// requests that size for the drawing area and composes the view into it.
// The old surface is destroyed.
void replace_win_surf(void);

// Draws the brush cursor at (`cursor_x`, `cursor_y`) on `cr`, whose user
// space is window pixels. Leaves the context's state as it found it.
void draw_brush(cairo_t *cr);
// What the drawing area shows, painted on `cr` (user space = window pixels):
// `win_surf` at (0, 0) and, in edit mode, the brush cursor over it.
void paint_canvas(cairo_t *cr);
// Queues the areas of the brush cursor at its last drawn position and at
// the new pointer position (x, y) on `widget`.
void initiate_cursor_redraw(GtkWidget *widget, int x, int y);
// Queues the brush cursor's area after a tool change.
void redraw_brush(void);

// Paints the canvas on the drawing area's window (within the exposed region
// when `event` is given) and records the cursor position drawn.
gboolean on_expose_event(GtkWidget *widget, GdkEventExpose *event, gpointer data);
gboolean configure_event(GtkWidget *widget, GdkEventConfigure *event, gpointer data);
void cb_draw_zoom(GtkAdjustment *adjustment, gpointer window);
void cb_zoom_to(GtkWidget *button, gpointer zoom_adjustment);
void cb_set_brush_size(GtkAdjustment *adjustment, gpointer toolbar);
