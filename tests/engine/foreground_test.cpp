#include "engine/foreground.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "engine/allocate.h"

namespace {

struct rgb {
  double r, g, b;
  double operator[](int c) const { return c == 0 ? r : c == 1 ? g : b; }
};

// A picture composited from flat colours F and B under alpha(x, y) in
// 0..255, as the matte's input would be: samples rounded to 8 bits.
struct composite {
  int width, height;
  TIFF_img image;
  unsigned char **alpha;
  std::vector<float> fg, bg;

  composite(int w, int h, rgb f, rgb b, const std::function<int(int, int)> &alpha_at)
      : width(w), height(h), fg(static_cast<size_t>(w) * h * 3), bg(fg.size()) {
    get_TIFF(&image, h, w, 'c');
    alpha = reinterpret_cast<unsigned char **>(get_img(w, h, 1));
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const int a = alpha_at(x, y);
        alpha[y][x] = static_cast<unsigned char>(a);
        for (int c = 0; c < 3; c++)
          image.color_planes[c][y][x] =
              static_cast<unsigned char>(std::lround((a * f[c] + (255 - a) * b[c]) / 255.0));
      }
  }
  ~composite() {
    free_TIFF(&image);
    free_img(reinterpret_cast<void **>(alpha));
  }
  void estimate() { estimateForeground(&image, alpha, fg.data(), bg.data()); }
  float f(int x, int y, int c) const { return fg[(static_cast<size_t>(y) * width + x) * 3 + c]; }
  float b(int x, int y, int c) const { return bg[(static_cast<size_t>(y) * width + x) * 3 + c]; }
  double picture(int x, int y, int c) const { return image.color_planes[c][y][x] / 255.0; }
};

const rgb kYellow = {230, 200, 40}, kBlue = {30, 70, 200};

// Yellow over blue with a soft edge: alpha ramps from 0 to 255 over columns
// 12..36. Away from the ramp one of the two colours is not in the picture at
// all and must come from the other side. Tolerance 3/255: the picture is
// rounded to 8 bits, which at alpha 0.1 alone moves F by 5/255, so the
// checked pixels are those where the colour in question is at least a
// quarter of the mix (and all of B and F beyond the ramp).
TEST(EstimateForeground, RecoversFlatColoursBehindASoftRamp) {
  composite s(48, 20, kYellow, kBlue, [](int x, int) {
    return std::min(255, std::max(0, (x - 12) * 255 / 24));
  });
  s.estimate();
  const double tolerance = 3 / 255.0;
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++) {
      const double a = s.alpha[y][x] / 255.0;
      for (int c = 0; c < 3; c++) {
        if (a >= 0.25 || a == 0) {
          EXPECT_NEAR(s.f(x, y, c), kYellow[c] / 255, tolerance) << x << "," << y << " c" << c;
        }
        if (a <= 0.75 || a == 1) {
          EXPECT_NEAR(s.b(x, y, c), kBlue[c] / 255, tolerance) << x << "," << y << " c" << c;
        }
      }
    }
}

// Degenerate pictures and mattes: every colour is a number in 0..1. Under a
// matte that is 1 (0) everywhere, F (B) is the picture within 0.02: the
// neighbours pull at the regularisation weight, 4 x 0.005 against the data's
// weight 1. A single pixel is its own F and B.
TEST(EstimateForeground, DegeneratePicturesAndMattesGiveDefinedColours) {
  const struct {
    const char *label;
    int width, height;
    std::function<int(int, int)> alpha;
    bool uniform;  // one alpha everywhere
  } cases[] = {
      {"1 x 1 opaque", 1, 1, [](int, int) { return 255; }, true},
      {"1 x 1 half", 1, 1, [](int, int) { return 128; }, true},
      {"1 x 1 clear", 1, 1, [](int, int) { return 0; }, true},
      {"2 x 3 mixed", 2, 3, [](int x, int y) { return (x + y) % 3 * 127; }, false},
      {"2 x 3 all opaque", 2, 3, [](int, int) { return 255; }, true},
      {"1 x 9 all clear", 1, 9, [](int, int) { return 0; }, true},
      {"17 x 11 all opaque", 17, 11, [](int, int) { return 255; }, true},
      {"17 x 11 all clear", 17, 11, [](int, int) { return 0; }, true},
      {"17 x 11 flat half", 17, 11, [](int, int) { return 128; }, false},
  };
  for (const auto &k : cases) {
    SCOPED_TRACE(k.label);
    // Colours that vary from pixel to pixel, so "F is the picture" means
    // something where alpha is 1.
    composite s(k.width, k.height, kYellow, kBlue, k.alpha);
    for (int y = 0; y < k.height; y++)
      for (int x = 0; x < k.width; x++)
        for (int c = 0; c < 3; c++)
          s.image.color_planes[c][y][x] = static_cast<unsigned char>((x * 37 + y * 91 + c * 50) % 256);
    s.estimate();
    const bool single = k.width == 1 && k.height == 1;
    for (int y = 0; y < k.height; y++)
      for (int x = 0; x < k.width; x++)
        for (int c = 0; c < 3; c++) {
          const float f = s.f(x, y, c), b = s.b(x, y, c);
          ASSERT_TRUE(f >= 0 && f <= 1 && b >= 0 && b <= 1) << x << "," << y << ": " << f << " " << b;
          const double tolerance = single ? 1e-6 : 0.02;
          if (k.uniform && s.alpha[y][x] != 0) {
            EXPECT_NEAR(f, s.picture(x, y, c), tolerance);
          }
          if (k.uniform && s.alpha[y][x] != 255) {
            EXPECT_NEAR(b, s.picture(x, y, c), tolerance);
          }
        }
  }
}

}  // namespace
