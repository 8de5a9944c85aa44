#include "engine/foreground.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "engine/allocate.h"
#include "tests/support/pictures.h"

namespace {

using alpha_fn = std::function<int(int x, int y)>;  // 0..255

// A picture from a colour function with its alpha plane; F and B estimated.
struct estimated {
  int width, height;
  TIFF_img image;
  unsigned char **alpha;
  std::vector<float> fg, bg;

  estimated(int w, int h, const alpha_fn &alpha_at, const pixel_fn &colour)
      : width(w),
        height(h),
        image(colour_picture(w, h, colour)),
        fg(static_cast<size_t>(w) * h * 3),
        bg(fg.size()) {
    alpha = reinterpret_cast<unsigned char **>(get_img(w, h, 1));
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) alpha[y][x] = static_cast<unsigned char>(alpha_at(x, y));
    estimateForeground(&image, alpha, fg.data(), bg.data());
  }
  ~estimated() {
    free_TIFF(&image);
    free_img(reinterpret_cast<void **>(alpha));
  }
  size_t at(int x, int y, int c) const { return (static_cast<size_t>(y) * width + x) * 3 + c; }
};

const int kYellow[3] = {230, 200, 40}, kBlue[3] = {30, 70, 200};

// Yellow over blue with a soft edge: alpha ramps from 0 to 255 over columns
// 12..36, and the picture is the composite rounded to 8 bits. Away from the
// ramp one of the two colours is not in the picture at all and must come
// from the other side. Tolerance 3/255; within the ramp F is checked where
// alpha >= 1/4 and B where alpha <= 3/4, since the 8-bit rounding alone
// moves F by 5/255 at alpha 0.1.
TEST(EstimateForeground, RecoversFlatColoursBehindASoftRamp) {
  auto ramp = [](int x, int) { return std::min(255, std::max(0, (x - 12) * 255 / 24)); };
  estimated s(48, 20, ramp, [&](int x, int y) {
    const int a = ramp(x, y);
    int mix[3];
    for (int c = 0; c < 3; c++)
      mix[c] = static_cast<int>(std::lround((a * kYellow[c] + (255 - a) * kBlue[c]) / 255.0));
    return rgba{mix[0], mix[1], mix[2], 255};
  });
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++)
      for (int c = 0; c < 3; c++) {
        const int a = ramp(x, y);
        if (a >= 64 || a == 0) {
          EXPECT_NEAR(s.fg[s.at(x, y, c)] * 255, kYellow[c], 3) << x << "," << y;
        }
        if (a <= 191 || a == 255) {
          EXPECT_NEAR(s.bg[s.at(x, y, c)] * 255, kBlue[c], 3) << x << "," << y;
        }
      }
}

// Degenerate pictures and mattes: every colour is a number in 0..1. Under a
// matte that is 1 (0) everywhere, F (B) is the picture within 0.02: the
// neighbours pull at the regularisation weight, 4 x 0.005 against the data's
// weight 1. A single opaque pixel is its own F.
TEST(EstimateForeground, DegeneratePicturesAndMattesGiveDefinedColours) {
  const struct {
    int width, height;
    alpha_fn alpha;
    bool uniform;  // one alpha everywhere
  } cases[] = {
      {1, 1, [](int, int) { return 255; }, true},
      {2, 3, [](int x, int y) { return (x + y) % 3 * 127; }, false},
      {1, 9, [](int, int) { return 0; }, true},
  };
  // Colours that vary from pixel to pixel, so "F is the picture" means something.
  auto varied = [](int x, int y, int c) { return (x * 37 + y * 91 + c * 50) % 256; };
  for (const auto &k : cases) {
    estimated s(k.width, k.height, k.alpha, [&](int x, int y) {
      return rgba{varied(x, y, 0), varied(x, y, 1), varied(x, y, 2), 255};
    });
    const double tolerance = k.width * k.height == 1 ? 1e-6 : 0.02;
    for (int y = 0; y < k.height; y++)
      for (int x = 0; x < k.width; x++)
        for (int c = 0; c < 3; c++) {
          SCOPED_TRACE(testing::Message()
                       << k.width << " x " << k.height << " at " << x << "," << y);
          const float f = s.fg[s.at(x, y, c)], b = s.bg[s.at(x, y, c)];
          const double picture = varied(x, y, c) / 255.0;
          ASSERT_TRUE(f >= 0 && f <= 1 && b >= 0 && b <= 1) << f << " " << b;
          if (k.uniform && s.alpha[y][x] != 0) {
            EXPECT_NEAR(f, picture, tolerance);
          }
          if (k.uniform && s.alpha[y][x] != 255) {
            EXPECT_NEAR(b, picture, tolerance);
          }
        }
  }
}

}  // namespace
