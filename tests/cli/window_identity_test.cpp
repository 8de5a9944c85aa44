// The command line must give exactly the alpha the window's Calculate gives
// for the same picture, strokes and options, and with the foreground
// estimated the same colours. The window reads its strokes from the ARGB32
// stroke-layer surface and runs engine_input + worker_core, then paints the
// estimated colours over the region of its result picture; velorin-matte
// reads the PNG the window saves of that surface.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "calc/engine_input.h"
#include "calc/foreground_colours.h"
#include "calc/worker_core.h"
#include "cli_test_files.h"
#include "engine/tiff.h"

namespace {

const int WIDTH = 30, HEIGHT = 26;

rgba picture_pixel(int x, int y) {
  int edge = 12 + (y % 7);  // a ragged boundary
  int noise = (x * 11 + y * 5) % 9;
  return x > edge ? rgba{230 - noise, 200, 40 + noise, 255}
                  : rgba{30, 60 + noise, 150 - noise, 255};
}

// Strokes as the user paints them: black on the left, white on the right,
// an alternate-transparency blue stroke, and soft brush edges (alpha below
// 255) that constrain nothing. The window holds them premultiplied in its
// ARGB32 surface and saves them straight.
rgba stroke(int x, int y) {
  if (x <= 3) return {0, 0, 0, 255};
  if (x == 4) return {0, 0, 0, 254};
  if (x >= 26) return {255, 255, 255, 255};
  if (x == 25) return {255, 255, 255, 128};
  if (y == 20 && x >= 10 && x <= 20) return {0, 0, 255, 255};
  return {0, 0, 0, 0};
}

struct identity_case {
  const char *label;
  int levels, active;
  std::string region;  // "x,y,w,h", or empty: the whole picture
  bool foreground;     // estimate the foreground colours
};

// The window's result picture, channel by channel (red, green, blue, alpha).
using channels = std::vector<std::vector<int>>;

// The window's path: surface bytes -> engine input -> worker core; the
// alpha is placed on the picture with 0 outside the region, the estimated
// colours (if any) painted over the region of a copy of the picture.
channels window_result(const std::string &picture_path, const identity_case &c) {
  GdkPixbuf *shown = gdk_pixbuf_new_from_file(picture_path.c_str(), nullptr);
  guchar *shown_pixels = gdk_pixbuf_get_pixels(shown);
  const int n = gdk_pixbuf_get_n_channels(shown), stride = gdk_pixbuf_get_rowstride(shown);
  const std::vector<unsigned char> surface = argb32_bytes(WIDTH, HEIGHT, stroke);
  const raw_pixels pixels = rgb_pixels(shown_pixels, stride, n);
  const raw_pixels layer = argb32_pixels(surface.data(), WIDTH * 4);
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
  config.options.estimate_foreground = c.foreground;
  TIFF_img result, colours;
  worker_core_run(&input.image, input.constraint_mask, input.constraint_values, &config, &result,
                  &colours);
  EXPECT_EQ(has_foreground_colours(&colours), c.foreground);
  if (c.foreground) paint_foreground_colours(&colours, x, y, shown_pixels, stride, n);
  channels out(4, std::vector<int>(static_cast<size_t>(WIDTH) * HEIGHT, 0));
  for (int py = 0; py < HEIGHT; py++)
    for (int px = 0; px < WIDTH; px++)
      for (int k = 0; k < 3; k++) out[k][py * WIDTH + px] = shown_pixels[py * stride + px * n + k];
  for (int ry = 0; ry < h; ry++)
    for (int rx = 0; rx < w; rx++) out[3][(y + ry) * WIDTH + x + rx] = result.plane[ry][rx];
  g_object_unref(shown);
  free_TIFF(&result);
  free_TIFF(&colours);
  return out;
}

class WindowIdentity : public ::testing::TestWithParam<identity_case> {};

TEST_P(WindowIdentity, CommandLineResultEqualsTheWindowsResult) {
  const identity_case &c = GetParam();
  TempFolder folder;
  const std::string picture = folder.file("picture.png"), layer = folder.file("layer.png"),
                    output = folder.file("result.png");
  write_png(picture, WIDTH, HEIGHT, false, picture_pixel);
  // What the window saves of its layer: straight (unpremultiplied) RGBA.
  write_png(layer, WIDTH, HEIGHT, true, stroke);
  std::vector<std::string> words = {picture,
                                    layer,
                                    c.foreground ? "--foreground" : "--alpha-only",
                                    "--quiet",
                                    "-o",
                                    output,
                                    "--levels",
                                    std::to_string(c.levels),
                                    "--active",
                                    std::to_string(c.active)};
  if (!c.region.empty()) words.insert(words.end(), {"--region", c.region});
  const cli_result r = run_cli(words);
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  const channels from_window = window_result(picture, c);
  const std::vector<int> &alpha = from_window[3];
  // The grey output holds the alpha in its first channel, RGBA in its fourth.
  EXPECT_EQ(read_channel(output, c.foreground ? 3 : 0), alpha);
  // Not trivially equal: the matte holds more than the two constraint values.
  EXPECT_GT(std::set<int>(alpha.begin(), alpha.end()).size(), 2u);
  int changed = 0;  // colours the estimate changed
  for (int k = 0; c.foreground && k < 3; k++) {
    EXPECT_EQ(read_channel(output, k), from_window[k]) << "channel " << k;
    const std::vector<int> photo = read_channel(picture, k);
    for (size_t i = 0; i < photo.size(); i++) changed += photo[i] != from_window[k][i];
  }
  EXPECT_EQ(changed > 0, c.foreground);
}

INSTANTIATE_TEST_SUITE_P(
    Options, WindowIdentity,
    ::testing::Values(identity_case{"single_level", 1, 1, "", false},
                      identity_case{"two_levels_one_solved", 2, 1, "", false},
                      identity_case{"two_levels_both_solved", 2, 2, "", false},
                      identity_case{"foreground_clipped_region", 1, 1, "-4,3,40,18", true}),
    [](const ::testing::TestParamInfo<identity_case> &info) { return info.param.label; });

}  // namespace
