// Turning a picture region and a constraint layer into the engine's input,
// shared by the window's Calculate and the command-line tool so both read
// pictures and constraints the same way. Toolkit-free: pictures come in as
// raw 8-bit pixel rows.
#pragma once

#include "engine/tiff.h"

// Raw 8-bit pixels: `pixels` is row 0, rows are `rowstride` bytes apart,
// pixels `pixel_bytes` apart; red, green, blue and alpha are the byte offsets
// of the samples inside a pixel (alpha -1: none). Not owned.
struct raw_pixels {
  const unsigned char *pixels;
  int rowstride;
  int pixel_bytes;
  int red, green, blue, alpha;
};

// A gdk-pixbuf style picture: R, G, B (and A when n_channels is 4).
raw_pixels rgb_pixels(const unsigned char *pixels, int rowstride, int n_channels);
// A cairo ARGB32 surface's bytes on a little-endian machine: B, G, R, A.
raw_pixels argb32_pixels(const unsigned char *pixels, int rowstride);

// How constraint pixels are told apart.
enum constraint_encoding {
  // A stroke layer: alpha 255 is a constraint whose value is the grey level
  // rgb2grey / 255.0; any other alpha is unknown.
  CONSTRAINTS_LAYER,
  // A trimap (alpha, if any, ignored): grey level 0 is background (0.0), 255
  // foreground (1.0), anything else unknown.
  CONSTRAINTS_TRIMAP,
};

// What a trimap pixel says, from its grey level rgb2grey(red, green, blue)
// (0..255 each): 0 sure background, 255 sure foreground, anything else
// unknown. The command line reads trimaps with it and the window's "Open as
// trimap" turns them into strokes with it, so both pull the same matte.
enum trimap_class { TRIMAP_BACKGROUND, TRIMAP_FOREGROUND, TRIMAP_UNKNOWN };
trimap_class classify_trimap_pixel(int red, int green, int blue);

// Engine input of one region. image is a 'c' record (planes from get_TIFF),
// mask and values h x w doubles [row][column] from get_img: mask 1.0 where
// alpha is fixed, values the fixed alpha there, both 0.0 elsewhere.
struct engine_input {
  TIFF_img image;
  double **constraint_mask;
  double **constraint_values;
  bool has_background;  // a constraint of value exactly 0.0
  bool has_foreground;  // a constraint of any other value
};

// Clips the region (x, y, w, h) to a W x H picture in place (its
// intersection with the picture). Returns false, with w and h set to 0, when
// no pixel of the region lies inside the picture.
bool clip_region(int *x, int *y, int *w, int *h, int W, int H);

// True when a w x h region cannot hold one (2 * win_size + 1)-square window
// (radius below 1 counts as 1): the calculation must refuse it.
bool region_too_small(int w, int h, int win_size);

// Reads the region (x, y, w, h) of the picture and of the layer (both the
// picture's size; the region clipped by clip_region, at least 1 x 1). The
// picture is read through its red, green and blue offsets. The caller
// releases the arrays with free_engine_input (or hands them to
// worker_core_run, which releases them).
engine_input read_engine_input(const raw_pixels *picture, const raw_pixels *layer,
                               constraint_encoding encoding, int x, int y, int w, int h);

// Both a background and a foreground constraint exist, as the solve needs.
bool constraints_usable(const engine_input *input);

// Releases the image's planes and both arrays.
void free_engine_input(engine_input *input);
