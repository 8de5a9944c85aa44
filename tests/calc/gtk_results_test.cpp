// Result assembly: the matte over the region, solver failures and view mode.
#include "calc/gtk_results.h"

#include <gtest/gtest.h>

#include <vector>

#include "calc/gtk_calc.h"
#include "calc/solver_status.h"
#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

rgba warm(int x, int y) { return rgba{x, y, 99, 255}; }

// The worker's hand-over for the 6 x 4 region at (5, 2) of a 20 x 10
// picture: alpha and, when asked, colours that encode their own position,
// so misplacement shows; with colours the alpha is 50 higher, so a stale
// view shows too.
int result_alpha(int x, int y, bool with_colours) {
  return 1 + x + 2 * y + (with_colours ? 50 : 0);
}

void hand_over_result(int status, bool with_colours) {
  pass_calc_args->status = status;
  pass_calc_args->result = new TIFF_img();
  get_TIFF(pass_calc_args->result, 4, 6, 'g');
  if (with_colours) {
    pass_calc_args->colours = new TIFF_img();
    get_TIFF(pass_calc_args->colours, 4, 6, 'c');
  }
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 6; x++) {
      pass_calc_args->result->plane[y][x] = (unsigned char)result_alpha(x, y, with_colours);
      if (!with_colours) continue;
      pass_calc_args->colours->color_planes[0][y][x] = 200;
      pass_calc_args->colours->color_planes[1][y][x] = static_cast<unsigned char>(x);
      pass_calc_args->colours->color_planes[2][y][x] = static_cast<unsigned char>(y);
    }
}

class ResultsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(20, 10, warm);
    x_img_ROI = 5, y_img_ROI = 2, w_img_ROI = 6, h_img_ROI = 4;
    pass_calc_args->mode_button = toolbar_item(TB_MODE_TOGGLE);
  }
};

// Alpha from the result inside the region and 0 outside; colours the
// picture's, or inside the region the estimated ones the worker handed
// over, not an earlier result's. A result arriving in view mode is redrawn.
TEST_F(ResultsTest, RegionGetsTheResultsAlphaAndColours) {
  for (bool with_colours : {true, false}) {
    SCOPED_TRACE(with_colours ? "estimated colours" : "picture's colours");
    set_view_mode(!with_colours);
    hand_over_result(0, with_colours);
    setup_results();
    for (int y = 0; y < 10; y++)
      for (int x = 0; x < 20; x++) {
        const bool inside = x >= 5 && x < 11 && y >= 2 && y < 6;
        rgba expected = warm(x, y);
        expected.a = inside ? result_alpha(x - 5, y - 2, with_colours) : 0;
        if (inside && with_colours) expected = rgba{200, x - 5, y - 2, expected.a};
        ASSERT_EQ(pixbuf_pixel(pixbuf_alpha, x, y), expected) << x << "," << y;
      }
  }
  EXPECT_EQ(view_pixel(0, 0).a, 0);
  EXPECT_EQ(view_pixel(10, 5).a, 1 + 5 + 2 * 3);
}

// A failed solve leaves no matte worth showing: the Error dialog says why
// and the picture stays on screen as it was, in the mode it was. A warning
// (status 1) still comes with a solve, so its result is shown.
TEST_F(ResultsTest, FailureIsReportedAndChangesNothingElseTheResultIsShownInViewMode) {
  for (int status : {-3, 1}) {
    SCOPED_TRACE(status);
    hand_over_result(status, false);
    const std::vector<unsigned char> before = pixbuf_bytes(pixbuf_alpha);
    dialog_answers answers("Error", GTK_RESPONSE_NONE);
    setup_results();
    EXPECT_EQ(pass_calc_args->result, nullptr);
    const char *message = umfpack_status_message(status);
    EXPECT_EQ(answers.count(), message ? 1 : 0);
    EXPECT_EQ(
        gtk_toggle_tool_button_get_active(GTK_TOGGLE_TOOL_BUTTON(pass_calc_args->mode_button)),
        message == NULL);
    if (message) {
      EXPECT_EQ(answers.first_text(), message);
      EXPECT_EQ(pixbuf_bytes(pixbuf_alpha), before);
    } else {
      EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, 5, 2).a, 1);
    }
  }
}

}  // namespace
