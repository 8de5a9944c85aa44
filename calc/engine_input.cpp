#include "calc/engine_input.h"

#include <algorithm>

#include "calc/rgb2grey.h"
#include "engine/allocate.h"

// A layer pixel is a constraint only when fully opaque; partly transparent
// pixels (soft brush edges, half-erased strokes) stay unknown.
static const int kOpaque = 255;
static const int kTrimapBackground = 0;
static const int kTrimapForeground = 255;
static const double kMaxSample = 255.0;
static const int kMinWindowRadius = 1;

static const unsigned char *pixel_at(const raw_pixels *p, int x, int y) {
  return p->pixels + (long)y * p->rowstride + (long)x * p->pixel_bytes;
}

static int grey_of(const raw_pixels *p, const unsigned char *px) {
  return rgb2grey(px[p->red], px[p->green], px[p->blue]);
}

// Whether the layer pixel fixes alpha, and to which value.
static bool read_constraint(const raw_pixels *layer, constraint_encoding encoding,
                            const unsigned char *px, double *value) {
  if (encoding == CONSTRAINTS_LAYER) {
    if (layer->alpha < 0 || px[layer->alpha] != kOpaque) return false;
    *value = grey_of(layer, px) / kMaxSample;
    return true;
  }
  switch (classify_trimap_pixel(px[layer->red], px[layer->green], px[layer->blue])) {
    case TRIMAP_BACKGROUND:
      *value = 0.0;
      return true;
    case TRIMAP_FOREGROUND:
      *value = 1.0;
      return true;
    case TRIMAP_UNKNOWN:
      break;
  }
  return false;
}

trimap_class classify_trimap_pixel(int red, int green, int blue) {
  const int grey = rgb2grey(red, green, blue);
  if (grey == kTrimapBackground) return TRIMAP_BACKGROUND;
  if (grey == kTrimapForeground) return TRIMAP_FOREGROUND;
  return TRIMAP_UNKNOWN;
}

raw_pixels rgb_pixels(const unsigned char *pixels, int rowstride, int n_channels) {
  return {pixels, rowstride, n_channels, 0, 1, 2, n_channels == 4 ? 3 : -1};
}

raw_pixels argb32_pixels(const unsigned char *pixels, int rowstride) {
  return {pixels, rowstride, 4, 2, 1, 0, 3};
}

bool clip_region(int *x, int *y, int *w, int *h, int W, int H) {
  // Intersect rather than just moving a negative corner to 0, so a
  // selection dragged past the left or top edge does not grow into pixels
  // the user did not select.
  const long x0 = std::max(0L, (long)*x), y0 = std::max(0L, (long)*y);
  const long x1 = std::min((long)W, (long)*x + *w);
  const long y1 = std::min((long)H, (long)*y + *h);
  if (x1 <= x0 || y1 <= y0) {
    *x = (int)std::min(x0, (long)W);
    *y = (int)std::min(y0, (long)H);
    *w = *h = 0;
    return false;
  }
  *x = (int)x0;
  *y = (int)y0;
  *w = (int)(x1 - x0);
  *h = (int)(y1 - y0);
  return true;
}

bool region_too_small(int w, int h, int win_size) {
  const int side = 2 * std::max(win_size, kMinWindowRadius) + 1;
  return w < side || h < side;
}

engine_input read_engine_input(const raw_pixels *picture, const raw_pixels *layer,
                               constraint_encoding encoding, int x, int y, int w, int h) {
  engine_input in;
  get_TIFF_checked(&in.image, h, w, 'c');
  in.constraint_mask = (double **)get_img(w, h, sizeof(double));
  in.constraint_values = (double **)get_img(w, h, sizeof(double));
  in.has_background = in.has_foreground = false;
  for (int row = 0; row < h; row++)
    for (int col = 0; col < w; col++) {
      const unsigned char *px = pixel_at(picture, x + col, y + row);
      in.image.color_planes[0][row][col] = px[picture->red];
      in.image.color_planes[1][row][col] = px[picture->green];
      in.image.color_planes[2][row][col] = px[picture->blue];
      double value = 0.0;
      const bool fixed =
          read_constraint(layer, encoding, pixel_at(layer, x + col, y + row), &value);
      in.constraint_mask[row][col] = fixed ? 1.0 : 0.0;
      in.constraint_values[row][col] = fixed ? value : 0.0;
      if (fixed && value == 0.0) in.has_background = true;
      if (fixed && value != 0.0) in.has_foreground = true;
    }
  return in;
}

bool constraints_usable(const engine_input *input) {
  return input->has_background && input->has_foreground;
}

void free_engine_input(engine_input *input) {
  free_TIFF(&input->image);
  free_img((void **)input->constraint_mask);
  free_img((void **)input->constraint_values);
}
