#include "tests/support/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/allocate.h"

std::vector<unsigned char> rgb_bytes(int width, int height, int channels, const pixel_fn &pixel,
                                     int stride) {
  if (stride == 0) stride = width * channels;
  std::vector<unsigned char> bytes(static_cast<size_t>(stride) * height, 0xEE);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const rgba c = pixel(x, y);
      const int samples[4] = {c.r, c.g, c.b, c.a};
      for (int k = 0; k < channels; k++)
        bytes[static_cast<size_t>(y) * stride + x * channels + k] =
            static_cast<unsigned char>(samples[k]);
    }
  return bytes;
}

std::vector<unsigned char> argb32_bytes(int width, int height, const pixel_fn &pixel) {
  std::vector<unsigned char> bytes;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const rgba c = pixel(x, y);
      for (int sample : {c.b, c.g, c.r})
        bytes.push_back(static_cast<unsigned char>((sample * c.a + 127) / 255));
      bytes.push_back(static_cast<unsigned char>(c.a));
    }
  return bytes;
}

TIFF_img colour_picture(int width, int height, const pixel_fn &pixel) {
  TIFF_img img;
  get_TIFF(&img, height, width, 'c');
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const rgba c = pixel(x, y);
      img.color_planes[0][y][x] = static_cast<unsigned char>(c.r);
      img.color_planes[1][y][x] = static_cast<unsigned char>(c.g);
      img.color_planes[2][y][x] = static_cast<unsigned char>(c.b);
    }
  return img;
}

TIFF_img noise_picture(int width, int height, char type, unsigned seed) {
  TIFF_img img;
  get_TIFF(&img, height, width, type);
  const int planes = type == 'c' ? 3 : 1;
  unsigned state = seed * 2654435761u + 1u;
  for (int p = 0; p < planes; p++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        state = state * 1664525u + 1013904223u;
        (type == 'c' ? img.color_planes[p] : img.plane)[y][x] =
            static_cast<unsigned char>(state >> 24);
      }
  return img;
}

double **filled_array(int width, int height, double value) {
  double **a = reinterpret_cast<double **>(get_img(width, height, sizeof(double)));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) a[y][x] = value;
  return a;
}

owned_array::~owned_array() { free_img(reinterpret_cast<void **>(a_)); }

double **copy_array(double **a, int width, int height) {
  double **c = reinterpret_cast<double **>(get_img(width, height, sizeof(double)));
  std::memcpy(c[0], a[0], sizeof(double) * width * height);
  return c;
}

bool same_array(double **a, double **b, int width, int height) {
  return std::memcmp(a[0], b[0], sizeof(double) * width * height) == 0;
}

static int clamp255(double v) { return static_cast<int>(std::min(255.0, std::max(0.0, v))); }

rgba split_scene_colour(int width, int x, int y) {
  const int third = width / 3;
  // 0 up to the end of the left third, 1 from the right third on.
  double t = width > 2 * third ? static_cast<double>(x - third) / (width - 2 * third) : 0.5;
  t = std::min(1.0, std::max(0.0, t));
  const double texture = 4.0 * std::sin(x / 5.0) * std::cos(y / 7.0);
  return {clamp255(40 + 180 * t + texture), clamp255(60 + 150 * t - texture),
          clamp255(90 + 60 * t + 2 * texture), 255};
}

int split_scene_trimap(int width, int x) {
  const int third = width / 3;
  return x < third ? 0 : x >= width - third ? 255 : 128;
}

engine_input split_scene(int width, int height) {
  const std::vector<unsigned char> picture = rgb_bytes(
      width, height, 3, [width](int x, int y) { return split_scene_colour(width, x, y); });
  const std::vector<unsigned char> trimap = rgb_bytes(
      width, height, 3, [width](int x, int) { return grey(split_scene_trimap(width, x)); });
  const raw_pixels p = rgb_pixels(picture.data(), width * 3, 3);
  const raw_pixels t = rgb_pixels(trimap.data(), width * 3, 3);
  return read_engine_input(&p, &t, CONSTRAINTS_TRIMAP, 0, 0, width, height);
}
