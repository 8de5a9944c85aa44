#include "engine/tiff.h"

#include <cstdio>
#include <cstdlib>

#include "engine/allocate.h"
#include "engine/fatal.h"

static const int kPaletteEntries = 256;
static const int kPaletteChannels = 3;  // red, green, blue
// get_TIFF's own message may end without a line end.
static const char kRefusedRecord[] = "\n==> get_TIFF() error\n";
static const int kRefusedStatus = -1;

// Planes of a 'c' / 'a' record, or 0 for a single-plane type.
static int color_plane_count(char type) {
  if (type == 'c') return 3;
  if (type == 'a') return 4;
  return 0;
}

static unsigned char **byte_plane(int width, int height) {
  return reinterpret_cast<unsigned char **>(get_img(width, height, 1));
}

static void report_failure_origin(void) { std::fputs("tiff: function get_TIFF:\n", stderr); }

int get_TIFF(TIFF_img *img, int height, int width, char TIFF_type) {
  img->height = height;
  img->width = width;
  img->TIFF_type = TIFF_type;
  img->compress_type = 'u';
  // Whatever happens below, free_TIFF on this record must be safe: a record
  // that got no planes holds null pointers, never stale ones.
  img->plane = nullptr;
  img->color_planes = nullptr;
  img->color_map = nullptr;

  if (height <= 0 || width <= 0) {
    report_failure_origin();
    std::fputs("image height and width must be positive\n", stderr);
    return 1;
  }
  int planes = color_plane_count(TIFF_type);
  if (TIFF_type == 'g' || TIFF_type == 'p') {
    img->plane = byte_plane(width, height);
    if (TIFF_type == 'p') img->color_map = byte_plane(kPaletteChannels, kPaletteEntries);
    return 0;
  }
  if (planes > 0) {
    img->color_planes = static_cast<unsigned char ***>(
        mget_spc(static_cast<size_t>(planes), sizeof(unsigned char **)));
    for (int p = 0; p < planes; ++p) img->color_planes[p] = byte_plane(width, height);
    return 0;
  }
  report_failure_origin();
  std::fprintf(stderr, "allocation for image of type %c is not supported", TIFF_type);
  return 1;
}

void get_TIFF_checked(TIFF_img *img, int height, int width, char TIFF_type) {
  if (get_TIFF(img, height, width, TIFF_type) != 0) engine_fatal(kRefusedRecord, kRefusedStatus);
}

void free_TIFF(TIFF_img *img) {
  int planes = color_plane_count(img->TIFF_type);
  if (img->TIFF_type == 'g' || img->TIFF_type == 'p') {
    free_img(reinterpret_cast<void **>(img->plane));
    img->plane = nullptr;
    if (img->TIFF_type == 'p') {
      free_img(reinterpret_cast<void **>(img->color_map));
      img->color_map = nullptr;
    }
  } else if (planes > 0 && img->color_planes != nullptr) {
    for (int p = 0; p < planes; ++p) {
      free_img(reinterpret_cast<void **>(img->color_planes[p]));
    }
    std::free(img->color_planes);
    img->color_planes = nullptr;
  }
}
