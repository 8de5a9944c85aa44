// Result assembly: alpha over the calculated region, the solver status in
// the "Error" dialog, the switch to view mode only with a result.
#include <gtest/gtest.h>

#include <vector>

#include "calc/gtk_calc.h"
#include "calc/gtk_results.h"
#include "tests/calc/gtk_test_support.h"
#include "calc/solver_status.h"
#include "gui/main_window.h"
#include "gui/pixel.h"

namespace {

void warm(int x, int y, guchar rgb[3]) {
  rgb[0] = static_cast<guchar>(x);
  rgb[1] = static_cast<guchar>(y);
  rgb[2] = 99;
}

// A 'g' result whose alpha encodes its own position, so misplacement shows.
TIFF_img *positional_result(int w, int h) {
  TIFF_img *result = new TIFF_img();
  get_TIFF(result, h, w, 'g');
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) result->plane[y][x] = static_cast<unsigned char>(1 + x + 2 * y);
  return result;
}

guchar alpha_at(GdkPixbuf *pixbuf, int x, int y) {
  return gdk_pixbuf_get_pixels(pixbuf)[y * gdk_pixbuf_get_rowstride(pixbuf) + 4 * x + 3];
}

// Estimated colours of a w x h region that encode their own position.
TIFF_img positional_colours(int w, int h) {
  TIFF_img colours;
  get_TIFF(&colours, h, w, 'c');
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      colours.color_planes[0][y][x] = 200;
      colours.color_planes[1][y][x] = static_cast<unsigned char>(x);
      colours.color_planes[2][y][x] = static_cast<unsigned char>(y);
    }
  return colours;
}

// Alpha from the result inside the region and 0 outside; colours the
// picture's, or inside the region the estimated ones when there are some.
TEST(ComposeResultPixbuf, RegionGetsTheResultsAlphaAndColours) {
  create_test_window();
  install_picture(100, 100, warm);
  TIFF_img *result = positional_result(30, 40);
  TIFF_img estimated = positional_colours(30, 40);
  for (bool with_colours : {false, true}) {
    SCOPED_TRACE(with_colours ? "estimated colours" : "picture's colours");
    compose_result_pixbuf(pixbuf_no_alpha, pixbuf_alpha, result, 10, 20,
                          with_colours ? &estimated : NULL);
    for (int y = 0; y < 100; y++) {
      for (int x = 0; x < 100; x++) {
        bool inside = x >= 10 && x < 40 && y >= 20 && y < 60;
        int expected = inside ? 1 + (x - 10) + 2 * (y - 20) : 0;
        ASSERT_EQ(alpha_at(pixbuf_alpha, x, y), expected) << x << "," << y;
        const guchar *p = gdk_pixbuf_get_pixels(pixbuf_alpha) +
                          y * gdk_pixbuf_get_rowstride(pixbuf_alpha) + 4 * x;
        guchar colour[3];
        warm(x, y, colour);
        if (inside && with_colours) {
          colour[0] = 200;
          colour[1] = static_cast<guchar>(x - 10);
          colour[2] = static_cast<guchar>(y - 20);
        }
        ASSERT_EQ(std::vector<int>(p, p + 3), std::vector<int>(colour, colour + 3))
            << x << "," << y;
      }
    }
  }
  free_TIFF(&estimated);
  free_TIFF(result);
  delete result;
}

class SetupResultsTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    create_test_window();
    install_picture(20, 10, warm);
    x_img_ROI = 5;
    y_img_ROI = 2;
    w_img_ROI = 6;
    h_img_ROI = 4;
    pass_calc_args->result = positional_result(6, 4);
    pass_calc_args->mode_button = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), 0);
  }
};

// A failed solve leaves no matte worth showing: the Error dialog says why
// and the picture stays on screen as it was, in the mode it was.
TEST_P(SetupResultsTest, FailureIsReportedAndChangesNothingElseTheResultIsShownInViewMode) {
  int status = GetParam();
  pass_calc_args->status = status;
  const guchar *pixels = gdk_pixbuf_get_pixels(pixbuf_alpha);
  const std::vector<guchar> before(pixels, pixels + 10 * gdk_pixbuf_get_rowstride(pixbuf_alpha));
  dialog_watch answer;
  start_watch(&answer, "Error", GTK_RESPONSE_NONE);
  setup_results();
  stop_watch(&answer);
  EXPECT_EQ(pass_calc_args->result, nullptr);
  const bool shown =
      gtk_toggle_tool_button_get_active(GTK_TOGGLE_TOOL_BUTTON(pass_calc_args->mode_button));
  const char *message = umfpack_status_message(status);
  if (message == NULL) {
    EXPECT_EQ(answer.answered, 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(alpha_at(pixbuf_alpha, 5, 2), 1);
    EXPECT_EQ(alpha_at(pixbuf_alpha, 4, 2), 0);
  } else {
    EXPECT_EQ(answer.answered, 1);
    EXPECT_EQ(answer.text, message);
    EXPECT_FALSE(shown);
    EXPECT_EQ(in_edit_mode, 1);
    EXPECT_EQ(std::vector<guchar>(pixels, pixels + before.size()), before);
  }
}

// Success, a warning (the solve still ran) and two failures.
INSTANTIATE_TEST_SUITE_P(UmfpackStatuses, SetupResultsTest, ::testing::Values(0, 1, -1, -3));

TEST_F(SetupResultsTest, ResultIsRedrawnWhenTheWindowIsAlreadyInViewMode) {
  pass_calc_args->status = 0;
  // The previous result on show carried estimated colours; the new one,
  // without an estimate, takes the picture's, not those.
  gdk_pixbuf_fill(pixbuf_alpha, 0x102030ff);
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(pass_calc_args->mode_button), TRUE);
  ASSERT_EQ(in_edit_mode, 0);
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(win_surf, 0, 0, &a, &r, &g, &b);
  ASSERT_EQ(a, 255);  // the picture before the result: opaque
  setup_results();
  cairo_surface_flush(win_surf);
  cairoimagesurface_get_pixel(win_surf, 0, 0, &a, &r, &g, &b);
  EXPECT_EQ(a, 0);  // outside the region the result is transparent
  cairoimagesurface_get_pixel(win_surf, 10, 5, &a, &r, &g, &b);
  EXPECT_EQ(a, 1 + 5 + 2 * 3);
  const guchar *p = gdk_pixbuf_get_pixels(pixbuf_alpha) + 5 * gdk_pixbuf_get_rowstride(pixbuf_alpha) + 4 * 10;
  EXPECT_EQ(p[0], 10);
  EXPECT_EQ(p[1], 5);
  EXPECT_EQ(p[2], 99);
}

}  // namespace
