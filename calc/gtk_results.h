// Result assembly after a calculation: error report, result pixbuf, switch to
// view mode. Main-loop thread only, after the worker has been joined.
#pragma once

#include <gtk/gtk.h>

#include "engine/tiff.h"

// Writes every pixel of out (RGBA, the picture's size): picture's colours,
// with alpha from result (a 'g' record of alpha 0..255, result->height rows
// by result->width columns) where the pixel lies in the region whose top-left
// corner is (x, y), and alpha 0 elsewhere. When `colours` holds estimated
// foreground colours of the region (calc/foreground_colours.h), they replace
// the picture's colours inside the region.
void compose_result_pixbuf(GdkPixbuf *picture, GdkPixbuf *out,
                           const TIFF_img *result, int x, int y,
                           const TIFF_img *colours = NULL);

// Called by thread_done: removes the progress bar, shows the solver status's
// message in the "Error" dialog when it has one, writes pixbuf_alpha from the
// record's result over the calculation region (x_img_ROI, ... as launched),
// releases the result and shows the result in view mode.
void setup_results(void);
