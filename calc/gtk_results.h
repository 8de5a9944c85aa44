// Result assembly after a calculation: error report, result pixbuf, switch to
// view mode; or, after a stop, back to edit mode with nothing changed.
// Main-loop thread only, after the worker has been joined.
#pragma once

#include <gtk/gtk.h>

#include "engine/tiff.h"

// Writes every pixel of out (RGBA, the picture's size): picture's colours,
// with alpha from result (a 'g' record of alpha 0..255, result->height rows
// by result->width columns) where the pixel lies in the region whose top-left
// corner is (x, y), and alpha 0 elsewhere. When `colours` holds estimated
// foreground colours of the region (calc/foreground_colours.h), they replace
// the picture's colours inside the region.
void compose_result_pixbuf(GdkPixbuf *picture, GdkPixbuf *out, const TIFF_img *result, int x, int y,
                           const TIFF_img *colours = NULL);

// Called by thread_done after a finished calculation. A solver failure
// shows its message in the "Error" dialog and leaves the picture, the
// layer, pixbuf_alpha and the mode as they were. Otherwise writes
// pixbuf_alpha from the record's result over the calculation region
// (x_img_ROI, ... as launched) and shows it in view mode. Releases the
// result either way.
void setup_results(void);

// Called by thread_done after a stopped calculation: releases the result,
// says "Calculation cancelled" on the status bar and returns to edit mode;
// the picture, the layer and pixbuf_alpha stay as they were.
void setup_cancelled(void);

// Releases the record's result (planes and record).
void release_calc_result(void);
