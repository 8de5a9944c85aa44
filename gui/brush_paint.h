// Painting brush segments into the stroke layer and the view: the one
// drawing routine behind live strokes (brush.cpp) and history replay
// (history.cpp), so both put exactly the same pixels down.
//
// Points are (x, y) pairs in snapped image coordinates. The layer is painted
// at picture resolution, the view (`win_surf`) at the current `scale`. With
// round caps, no antialiasing and snapped points every layer pixel ends up
// either fully covered in the brush colour or untouched; the eraser clears
// layer pixels completely and paints the picture on show back into the view.
#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

struct brush_style {
  double radius;            // image pixels
  double red, green, blue;  // each 0..1
  int eraser;               // 1: clears the layer instead of painting
};

enum paint_pass { PASS_LAYER, PASS_VIEW };

// The brush as the tool globals hold it now.
brush_style current_brush(void);

// Bounding box (x1, y1, x2, y2) of n_points points.
void points_box(const double *points, int n_points, double box[4]);

// A context on the pass's surface set up for the brush: round caps, no
// antialiasing, line width 2 x radius, user space in image pixels. For the
// eraser on the view the source is the picture on show, taken only over
// `box` (the points' bounding box) widened by the brush, so a short segment
// does not convert the whole picture. The caller destroys the context.
cairo_t *create_brush_context(paint_pass pass, const brush_style *brush, const double box[4]);

// Strokes the segments between consecutive points, each its own sub-path (a
// zero-length one is a round dot), and stores the path's extents (image
// pixels) into `extents` when it is not NULL.
void stroke_segments(cairo_t *cr, const double *points, int n_points, double extents[4]);

// Queues the drawing-area rectangle that covers path extents (image pixels)
// widened by the brush radius, at the current `scale`.
void queue_stroke_redraw(GtkWidget *widget, const double extents[4], double brush_radius);
