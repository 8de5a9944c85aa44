#include "calc/foreground_colours.h"

#include <cmath>

#include "engine/allocate.h"
#include "engine/foreground.h"

static const int kChannels = 3;
static const float kMaxSample = 255.0f;

void store_foreground_colours(const TIFF_img *image, const TIFF_img *alpha, TIFF_img *colours) {
  const int width = image->width, height = image->height;
  // An engine allocation, so an exhausted heap ends the run the engine's way.
  const ScratchBlock<float> foreground =
      scratchBlock<float>(static_cast<size_t>(width) * height * kChannels);
  estimateForeground(image, alpha->plane, foreground.get(), nullptr);
  get_TIFF_checked(colours, height, width, 'c');
  const float *f = foreground.get();
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++, f += kChannels)
      for (int c = 0; c < kChannels; c++)
        colours->color_planes[c][y][x] = static_cast<unsigned char>(std::lround(f[c] * kMaxSample));
}

bool has_foreground_colours(const TIFF_img *colours) {
  return colours->TIFF_type == 'c' && colours->color_planes != nullptr;
}

void paint_foreground_colours(const TIFF_img *colours, int x0, int y0, unsigned char *pixels,
                              int rowstride, int pixel_bytes) {
  for (int y = 0; y < colours->height; y++) {
    unsigned char *p =
        pixels + static_cast<size_t>(y0 + y) * rowstride + static_cast<size_t>(x0) * pixel_bytes;
    for (int x = 0; x < colours->width; x++, p += pixel_bytes)
      for (int c = 0; c < kChannels; c++) p[c] = colours->color_planes[c][y][x];
  }
}
