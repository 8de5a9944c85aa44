// The command line must give exactly the alpha the window's Calculate gives
// for the same picture, strokes and options. The window reads its strokes
// from the ARGB32 stroke-layer surface and runs engine_input + worker_core;
// velorin-matte reads the PNG the window saves of that surface.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "calc/engine_input.h"
#include "calc/worker_core.h"
#include "cli_test_files.h"
#include "engine/tiff.h"

namespace {

const int WIDTH = 30, HEIGHT = 26;

rgba picture_pixel(int x, int y) {
  int edge = 12 + (y % 7);  // a ragged boundary
  int noise = (x * 11 + y * 5) % 9;
  return x > edge ? rgba{guchar(230 - noise), 200, guchar(40 + noise), 255}
                  : rgba{30, guchar(60 + noise), guchar(150 - noise), 255};
}

// Strokes as the user paints them (straight colours): black on the left,
// white on the right, an alternate-transparency blue stroke, and soft brush
// edges (alpha below 255) that constrain nothing.
rgba stroke(int x, int y) {
  if (x <= 3) return {0, 0, 0, 255};
  if (x == 4) return {0, 0, 0, 254};
  if (x >= 26) return {255, 255, 255, 255};
  if (x == 25) return {255, 255, 255, 128};
  if (y == 20 && x >= 10 && x <= 20) return {0, 0, 255, 255};
  return {0, 0, 0, 0};
}

// The stroke layer surface's bytes: cairo ARGB32 on a little-endian machine
// stores B, G, R, A with the colour premultiplied by alpha.
std::vector<unsigned char> argb32_surface() {
  std::vector<unsigned char> bytes;
  for (int y = 0; y < HEIGHT; y++)
    for (int x = 0; x < WIDTH; x++) {
      rgba s = stroke(x, y);
      for (int c : {s.b, s.g, s.r})
        bytes.push_back(static_cast<unsigned char>((c * s.a + 127) / 255));
      bytes.push_back(s.a);
    }
  return bytes;
}

struct identity_case {
  const char *label;
  int levels, active;
  std::string region;  // "x,y,w,h", or empty: the whole picture
};

// The window's path: surface bytes -> engine input -> worker core; the
// alpha is placed on the picture with 0 outside the region.
std::vector<int> window_alpha(GdkPixbuf *picture, const identity_case &c) {
  std::vector<unsigned char> surface = argb32_surface();
  raw_pixels pixels = rgb_pixels(gdk_pixbuf_read_pixels(picture), gdk_pixbuf_get_rowstride(picture),
                                 gdk_pixbuf_get_n_channels(picture));
  raw_pixels layer = argb32_pixels(surface.data(), WIDTH * 4);
  int x = 0, y = 0, w = WIDTH, h = HEIGHT;
  if (!c.region.empty()) {
    EXPECT_EQ(sscanf(c.region.c_str(), "%d,%d,%d,%d", &x, &y, &w, &h), 4);
    EXPECT_TRUE(clip_region(&x, &y, &w, &h, WIDTH, HEIGHT));
  }
  engine_input input = read_engine_input(&pixels, &layer, CONSTRAINTS_LAYER, x, y, w, h);
  EXPECT_TRUE(constraints_usable(&input));
  c2f_config config;
  opts_set_default(&config.options);
  config.options.levels_num = c.levels;
  config.options.Active_levels_num = c.active;
  TIFF_img result;
  worker_core_run(&input.image, input.constraint_mask, input.constraint_values, &config, &result);
  std::vector<int> alpha(static_cast<size_t>(WIDTH) * HEIGHT, 0);
  for (int ry = 0; ry < h; ry++)
    for (int rx = 0; rx < w; rx++) alpha[(y + ry) * WIDTH + x + rx] = result.plane[ry][rx];
  free_TIFF(&result);
  return alpha;
}

class WindowIdentity : public ::testing::TestWithParam<identity_case> {};

TEST_P(WindowIdentity, CommandLineAlphaEqualsTheWindowsAlpha) {
  const identity_case &c = GetParam();
  TempFolder folder;
  std::string picture_path = folder.file("picture.png"), layer_path = folder.file("layer.png"),
              output = folder.file("alpha.png");
  GdkPixbuf *picture = make_pixbuf(WIDTH, HEIGHT, false, picture_pixel);
  save_png(picture, picture_path);
  // What the window saves of its layer: straight (unpremultiplied) RGBA.
  write_png(layer_path, WIDTH, HEIGHT, true, stroke);
  std::vector<std::string> words = {
      picture_path, layer_path, "--alpha-only",           "--quiet",  "-o",
      output,       "--levels", std::to_string(c.levels), "--active", std::to_string(c.active)};
  if (!c.region.empty()) words.insert(words.end(), {"--region", c.region});
  cli_result r = run_cli(words);
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  std::vector<int> from_window = window_alpha(picture, c);
  EXPECT_EQ(read_channel(output, 0), from_window);
  // Not trivially equal: the matte holds more than the two constraint values.
  EXPECT_GT(std::set<int>(from_window.begin(), from_window.end()).size(), 2u);
  g_object_unref(picture);
}

INSTANTIATE_TEST_SUITE_P(Options, WindowIdentity,
                         ::testing::Values(identity_case{"single_level", 1, 1, ""},
                                           identity_case{"two_levels_one_solved", 2, 1, ""},
                                           identity_case{"two_levels_both_solved", 2, 2, ""},
                                           identity_case{"clipped_region", 1, 1, "-4,3,40,18"}),
                         [](const ::testing::TestParamInfo<identity_case> &info) {
                           return info.param.label;
                         });

}  // namespace
