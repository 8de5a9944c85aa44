// The colours of a cut-out whose foreground is estimated: the region's
// estimated foreground colours as an 8-bit record, made on the worker and
// painted over the result picture by both front ends, so the window and
// velorin-matte give the same colours.
#pragma once

#include "engine/tiff.h"

// Estimates the foreground colours of `image` (a 'c' record, h x w) under
// `alpha` (the worker's 'g' result of the same size, 0..255: the alpha the
// cut-out gets) and stores them into `colours` as a 'c' record of h x w,
// samples rounded to 0..255 (planes from get_TIFF; release with free_TIFF).
void store_foreground_colours(const TIFF_img *image, const TIFF_img *alpha, TIFF_img *colours);

// True when `colours` holds planes (store_foreground_colours made them);
// false for an empty record (TIFF_img{}).
bool has_foreground_colours(const TIFF_img *colours);

// Writes red, green and blue of `colours` over the region of a picture
// whose top-left pixel is (x0, y0). The picture's bytes: `pixels` is row 0,
// rows `rowstride` bytes apart, pixels `pixel_bytes` apart with red, green
// and blue first (gdk-pixbuf's order); any fourth byte (alpha) is left
// alone. The region must lie inside the picture.
void paint_foreground_colours(const TIFF_img *colours, int x0, int y0, unsigned char *pixels,
                              int rowstride, int pixel_bytes);
