// The command line must give exactly the alpha the window's Calculate gives
// for the same picture, strokes and options. The window reads its strokes
// from the ARGB32 stroke-layer surface and runs engine_input + worker_core;
// velorin-matte reads the PNG the window saves of that surface. This test
// builds both from one set of strokes and compares the alphas byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "calc/engine_input.h"
#include "calc/worker_core.h"
#include "cli/matte_cli.h"
#include "cli_test_files.h"
#include "engine/tiff.h"

namespace {

const int WIDTH = 30, HEIGHT = 26;

rgba picture_pixel(int x, int y) {
  int edge = 12 + (y % 7);  // a ragged boundary
  bool fg = x > edge;
  int noise = (x * 11 + y * 5) % 9;
  return fg ? rgba{static_cast<guchar>(230 - noise), 200, static_cast<guchar>(40 + noise), 255}
            : rgba{30, static_cast<guchar>(60 + noise), static_cast<guchar>(150 - noise), 255};
}

// Strokes as the user paints them (straight colours, before premultiplying):
// black on the left, white on the right, an alternate-transparency blue
// stroke, and soft brush edges (alpha below 255) that constrain nothing.
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
  std::vector<unsigned char> bytes(static_cast<size_t>(WIDTH) * HEIGHT * 4);
  for (int y = 0; y < HEIGHT; y++)
    for (int x = 0; x < WIDTH; x++) {
      rgba s = stroke(x, y);
      unsigned char *p = &bytes[(static_cast<size_t>(y) * WIDTH + x) * 4];
      p[0] = static_cast<unsigned char>((s.b * s.a + 127) / 255);
      p[1] = static_cast<unsigned char>((s.g * s.a + 127) / 255);
      p[2] = static_cast<unsigned char>((s.r * s.a + 127) / 255);
      p[3] = s.a;
    }
  return bytes;
}

struct identity_case {
  const char *label;
  int levels, active;
  int region[4];  // x, y, w, h; w = 0: the whole picture
};

void PrintTo(const identity_case &c, std::ostream *os) { *os << c.label; }

class WindowIdentity : public ::testing::TestWithParam<identity_case> {
 protected:
  TempFolder folder;

  // The window's path: surface bytes -> engine input -> worker core; the
  // alpha is placed on the picture with 0 outside the region.
  std::vector<int> window_alpha(GdkPixbuf *picture, const identity_case &c) {
    std::vector<unsigned char> surface = argb32_surface();
    raw_pixels pixels = rgb_pixels(gdk_pixbuf_read_pixels(picture),
                                   gdk_pixbuf_get_rowstride(picture),
                                   gdk_pixbuf_get_n_channels(picture));
    raw_pixels layer = argb32_pixels(surface.data(), WIDTH * 4);
    int x = 0, y = 0, w = WIDTH, h = HEIGHT;
    if (c.region[2] > 0) {
      x = c.region[0], y = c.region[1], w = c.region[2], h = c.region[3];
      EXPECT_TRUE(clip_region(&x, &y, &w, &h, WIDTH, HEIGHT));
    }
    engine_input input = read_engine_input(&pixels, &layer, CONSTRAINTS_LAYER, x, y, w, h);
    EXPECT_TRUE(constraints_usable(&input));
    option_args options;
    opts_set_default(&options);
    options.levels_num = c.levels;
    options.Active_levels_num = c.active;
    TIFF_img result;
    worker_core_run(&input.image, input.constraint_mask, input.constraint_values, &options,
                    &result);
    std::vector<int> alpha(static_cast<size_t>(WIDTH) * HEIGHT, 0);
    for (int ry = 0; ry < h; ry++)
      for (int rx = 0; rx < w; rx++) alpha[(y + ry) * WIDTH + x + rx] = result.plane[ry][rx];
    free_TIFF(&result);
    return alpha;
  }

  // velorin-matte on the layer PNG, --alpha-only.
  std::vector<int> cli_alpha(const std::string &picture, const std::string &layer,
                             const identity_case &c) {
    std::string output = folder.file("alpha.png");
    std::vector<std::string> words = {"velorin-matte", picture, layer, "--alpha-only",
                                      "--quiet", "-o", output,
                                      "--levels", std::to_string(c.levels),
                                      "--active", std::to_string(c.active)};
    if (c.region[2] > 0)
      words.insert(words.end(), {"--region", std::to_string(c.region[0]) + "," +
                                                 std::to_string(c.region[1]) + "," +
                                                 std::to_string(c.region[2]) + "," +
                                                 std::to_string(c.region[3])});
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(&w[0]);
    EXPECT_EQ(matte_cli_main(static_cast<int>(argv.size()), argv.data(), stdout, stderr),
              MATTE_EXIT_OK);
    std::vector<int> alpha;
    GdkPixbuf *p = gdk_pixbuf_new_from_file(output.c_str(), nullptr);
    if (!p) return alpha;
    for (int y = 0; y < HEIGHT; y++)
      for (int x = 0; x < WIDTH; x++) alpha.push_back(sample(p, x, y, 0));
    g_object_unref(p);
    return alpha;
  }
};

TEST_P(WindowIdentity, CommandLineAlphaEqualsTheWindowsAlpha) {
  std::string picture_path = folder.file("picture.png"), layer_path = folder.file("layer.png");
  GdkPixbuf *picture = make_pixbuf(WIDTH, HEIGHT, false, picture_pixel);
  save_png(picture, picture_path);
  // What the window saves of its layer: straight (unpremultiplied) RGBA.
  write_and_release(make_pixbuf(WIDTH, HEIGHT, true, stroke), layer_path);
  std::vector<int> from_window = window_alpha(picture, GetParam());
  std::vector<int> from_cli = cli_alpha(picture_path, layer_path, GetParam());
  EXPECT_EQ(from_cli, from_window);
  // Not trivially equal: the matte holds more than the two constraint values.
  std::set<int> values(from_window.begin(), from_window.end());
  EXPECT_GT(values.size(), 2u);
  g_object_unref(picture);
}

INSTANTIATE_TEST_SUITE_P(Options, WindowIdentity,
                         ::testing::Values(identity_case{"single_level", 1, 1, {}},
                                           identity_case{"two_levels_one_solved", 2, 1, {}},
                                           identity_case{"two_levels_both_solved", 2, 2, {}},
                                           identity_case{"clipped_region", 1, 1, {-4, 3, 40, 18}}),
                         [](const ::testing::TestParamInfo<identity_case> &info) {
                           return info.param.label;
                         });

}  // namespace
