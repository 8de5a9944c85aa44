// Small synthetic pictures for the tests, built in code. A picture is a
// pixel function; the builders below turn it into the layouts the code
// under test reads: packed bytes, the window's ARGB32 stroke surface, the
// engine's image record. Toolkit-free (pixbuf_pictures.h adds gdk-pixbuf).
// Sizes are always given as width, height; arrays are indexed [row][column].
#pragma once

#include <functional>
#include <vector>

#include "calc/engine_input.h"
#include "engine/tiff.h"

// One pixel, 0..255 per channel, colours straight (not premultiplied);
// alpha 255 is opaque.
struct rgba {
  int r, g, b, a;
};

// The pixel at column x, row y.
using pixel_fn = std::function<rgba(int x, int y)>;

// An opaque grey pixel.
inline rgba grey(int level) { return {level, level, level, 255}; }

// R, G, B (and A when channels is 4) per pixel, rows `stride` bytes apart
// (0: packed), padding bytes 0xEE, as gdk-pixbuf lays out its pixels.
std::vector<unsigned char> rgb_bytes(int width, int height, int channels, const pixel_fn &pixel,
                                     int stride = 0);

// The window's stroke layer surface: cairo ARGB32 on a little-endian
// machine, B, G, R, A with the colours premultiplied by alpha, rows packed.
std::vector<unsigned char> argb32_bytes(int width, int height, const pixel_fn &pixel);

// A colour ('c') record of the picture; release with free_TIFF.
TIFF_img colour_picture(int width, int height, const pixel_fn &pixel);

// A 'c' or 'g' record of uniform pseudo-random samples, the same for the
// same seed; release with free_TIFF.
TIFF_img noise_picture(int width, int height, char type, unsigned seed);

// A width x height array of doubles, every element `value`; free_img.
double **filled_array(int width, int height, double value);

// Owns an array of doubles laid out by get_img (filled_array, copy_array or
// an engine result) and frees it at the end of its scope; it converts to
// the double ** the engine takes.
class owned_array {
 public:
  explicit owned_array(double **a) : a_(a) {}
  ~owned_array();
  owned_array(const owned_array &) = delete;
  owned_array &operator=(const owned_array &) = delete;
  operator double **() const { return a_; }

 private:
  double **a_;
};

// A copy of a width x height array of doubles (free_img), and whether two
// such arrays hold the same doubles bit for bit.
double **copy_array(double **a, int width, int height);
bool same_array(double **a, double **b, int width, int height);

// The split scene most calculation tests matte: dark on the left, bright
// on the right, a soft ramp across the middle third with a little colour
// texture (no window is flat, and the texture is smooth enough to survive
// down-sampling); its trimap is background on the left third of the
// columns, foreground on the right third and unknown between.
rgba split_scene_colour(int width, int x, int y);
int split_scene_trimap(int width, int x);  // 0, 128 or 255

// The split scene as read_engine_input makes it (free_engine_input).
engine_input split_scene(int width, int height);
