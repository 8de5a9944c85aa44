// Calculation region and view modes.
#include "gui/region.h"

#include <gtest/gtest.h>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "tests/gui/gui_test_support.h"

namespace {

class RegionTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(40, 30, patterned, true);
  }
  // The calculation region (picture pixels) and the selection (window pixels).
  static std::vector<int> region(void) { return {x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI}; }
  static std::vector<double> selection(void) { return {left_x, top_y, selection_w, selection_h}; }
};

// View mode shows the result (premultiplied), edit mode the strokes over the picture.
TEST_F(RegionTest, EachModeShowsItsPicture) {
  fill_layer_rect(4, 4, 1, 1, 1, 1, 1);
  for (bool view : {true, false}) {
    set_view_mode(view);
    SCOPED_TRACE(view ? "view mode" : "edit mode");
    rgba c = patterned(9, 2);
    EXPECT_EQ(view_pixel(9, 2).a, view ? c.a : 255);
    EXPECT_NEAR(view_pixel(9, 2).r, view ? c.r * c.a / 255.0 : c.r, 1.0);
    EXPECT_EQ(view_pixel(4, 4) == kWhite, !view);
  }
}

TEST_F(RegionTest, DragSetsRegionItsBlackOutlineFollowsTheZoomAPressAloneResetsIt) {
  const struct {
    double percent, x0, y0, x1, y1;  // press and motion, window pixels
    int x, y, width, height;         // expected region, picture pixels
  } drags[] = {
      {200, 60, 40, 3, 9, 2, 5, 29, 16},    // reversed
      {100, 30, 5, 70, 45, 30, 5, 41, 41},  // beyond the picture
  };
  set_view_mode(true);
  for (const auto &d : drags) {
    SCOPED_TRACE(::testing::Message() << d.percent << "% from " << d.x0 << "," << d.y0);
    set_zoom_percent(d.percent);
    send_press(d.x0, d.y0);
    send_motion(d.x1, d.y1);
    EXPECT_EQ(region(), (std::vector<int>{d.x, d.y, d.width, d.height}));
    // The outline's top edge runs one pixel above the selection; after a
    // zoom it surrounds the same picture pixels.
    EXPECT_EQ(view_pixel((int)left_x + 1, (int)top_y - 1), kBlack);
    set_zoom_percent(400);
    EXPECT_EQ(selection(),
              (std::vector<double>{4.0 * d.x, 4.0 * d.y, 4.0 * d.width, 4.0 * d.height}));
    EXPECT_EQ(view_pixel((int)left_x + 1, (int)top_y - 1), kBlack);
  }
  send_press(30, 3);  // a press alone selects the whole picture
  EXPECT_EQ(region(), (std::vector<int>{0, 0, 40, 30}));
}

// "Calculate From Selection" (the Edit menu's check item after Copy, Undo
// and Redo) sets the flag and outlines the region in red in either mode;
// without it edit mode shows no outline, and a stroke under the outline's
// edge survives its erasure. The region survives every switch.
TEST_F(RegionTest, OutlineColourFollowsTheFlagAndEditModeShowsItOnlyWhenSet) {
  const struct {
    bool view, flag;
  } cases[] = {{true, false}, {false, false}, {true, true}, {false, true}, {false, false}};
  GtkWidget *check = menu_item("Edit", 3);
  ASSERT_TRUE(check && GTK_IS_CHECK_MENU_ITEM(check));
  fill_layer_rect(6, 5, 1, 1, 1, 1, 1);
  const std::vector<unsigned char> clean = surface_bytes(win_surf);
  x_img_ROI = 5, y_img_ROI = 6, w_img_ROI = 10, h_img_ROI = 8;
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.view ? "view" : "edit") << " mode, flag " << c.flag);
    set_view_mode(c.view);
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(check), c.flag);
    EXPECT_EQ(calc_ROI_is_set, c.flag ? 1 : 0);
    if (c.view || c.flag)
      EXPECT_EQ(view_pixel(6, 5), c.flag ? (rgba{255, 0, 0, 255}) : kBlack);
    else
      EXPECT_EQ(surface_bytes(win_surf), clean);
  }
  EXPECT_EQ(region(), (std::vector<int>{5, 6, 10, 8}));
}

TEST_F(RegionTest, AlphaViewShowsResultAlphaAsGrey) {
  set_view_mode(true);
  cb_draw_alpha(NULL, main_window);
  for (int y = 0; y < 30; y++)
    for (int x = 0; x < 40; x++) {
      int a = patterned(x, y).a;
      ASSERT_EQ(view_pixel(x, y), (rgba{a, a, a, 255})) << x << "," << y;
    }
}

}  // namespace
