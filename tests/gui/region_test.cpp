// Calculation region and view modes: the mode switch, the selection drag,
// the dashed outline, the region flag and the grey alpha view.
#include "gui/region.h"

#include <gtest/gtest.h>

#include "tests/gui/view_fixture.h"

namespace {

const view_pixel kRedOutline{255, 255, 0, 0};
const view_pixel kBlackOutline{255, 0, 0, 0};

// Which toolbar items each mode shows, by index.
struct ItemVisibility {
  bool in_edit, in_view;
};
// Mode toggle, Open, Save; ALPHA; Calculate, FG, BG, eraser; colour button,
// zoom spin, zoom slider, zoom 100 %, separator; brush spin and slider.
const ItemVisibility kItemVisibility[TB_ITEM_COUNT] = {
    {true, true},  {true, true},  {true, true},  {false, true}, {true, false},
    {true, false}, {true, false}, {true, false}, {true, true},  {true, true},
    {true, true},  {true, true},  {true, true},  {true, false}, {true, false},
};

void expect_mode(bool view) {
  EXPECT_EQ(in_edit_mode, view ? 0 : 1);
  EXPECT_EQ(pixbuf_image, view ? pixbuf_alpha : pixbuf_no_alpha);
  GdkCursor *pointer = drawing_area_cursor();
  EXPECT_EQ(pointer, view ? NULL : blank_cursor);
  for (int i = 0; i < TB_ITEM_COUNT; i++) {
    bool expected = view ? kItemVisibility[i].in_view : kItemVisibility[i].in_edit;
    EXPECT_EQ(gtk_widget_get_visible(GTK_WIDGET(
                  toolbar_item(i))),
              expected)
        << "item " << i << (view ? " in view mode" : " in edit mode");
  }
}

TEST_F(ViewTest, ModeToggleShowsItemsPicturesAndPointerOfEachMode) {
  load_picture(20, 10);
  expect_mode(false);
  set_view_mode(true);
  expect_mode(true);
  set_view_mode(false);
  expect_mode(false);
}

TEST_F(ViewTest, ViewModeShowsResultAndEditModeStrokesOverPicture) {
  load_picture(20, 10);
  paint_layer_pixel(4, 4);
  set_view_mode(true);
  // The result's translucent pixel, stored premultiplied.
  guchar r, g, b;
  picture_colour(9, 2, &r, &g, &b);
  int a = result_alpha(9, 2);
  view_pixel shown = surface_pixel(win_surf, 9, 2);
  EXPECT_EQ(shown.a, a);
  EXPECT_NEAR(shown.r, r * a / 255.0, 1.0);
  EXPECT_NE(surface_pixel(win_surf, 4, 4), (view_pixel{255, 255, 255, 255}));
  set_view_mode(false);
  EXPECT_EQ(surface_pixel(win_surf, 9, 2), picture_pixel(9, 2));
  EXPECT_EQ(surface_pixel(win_surf, 4, 4), (view_pixel{255, 255, 255, 255}));
}

struct DragCase {
  double percent;
  double x0, y0, x1, y1;  // press and motion, window pixels
  pixel_rect region;      // expected, picture pixels
};
void PrintTo(const DragCase &c, std::ostream *os) {
  *os << c.percent << "% from " << c.x0 << "," << c.y0 << " to " << c.x1 << ","
      << c.y1;
}

class SelectionDragTest : public ViewTest,
                          public ::testing::WithParamInterface<DragCase> {};

TEST_P(SelectionDragTest, DragSetsRegionAndDrawsBlackOutline) {
  const DragCase &c = GetParam();
  load_picture(40, 30);
  gtk_adjustment_set_value(zoom_adjustment(), c.percent);
  set_view_mode(true);
  drag(c.x0, c.y0, c.x1, c.y1);
  EXPECT_EQ(x_img_ROI, c.region.x);
  EXPECT_EQ(y_img_ROI, c.region.y);
  EXPECT_EQ(w_img_ROI, c.region.width);
  EXPECT_EQ(h_img_ROI, c.region.height);
  EXPECT_EQ(surface_pixel(win_surf, (int)left_x + 1, (int)top_y - 1), kBlackOutline);
}

INSTANTIATE_TEST_SUITE_P(
    Region, SelectionDragTest,
    ::testing::Values(DragCase{100, 10, 20, 29, 59, {10, 20, 20, 40}},
                      DragCase{200, 60, 40, 3, 9, {2, 5, 29, 16}},      // reversed
                      DragCase{100, 30, 5, 70, 45, {30, 5, 41, 41}}));  // beyond

TEST_F(ViewTest, PressWithoutMotionErasesOutlineAndSelectsWholePicture) {
  load_picture(40, 30);
  set_view_mode(true);
  std::vector<unsigned char> clean = composed_view();
  drag(10, 12, 20, 25);
  ASSERT_NE(surface_bytes(win_surf), clean);
  press(30, 3);
  EXPECT_EQ(x_img_ROI, 0);
  EXPECT_EQ(y_img_ROI, 0);
  EXPECT_EQ(w_img_ROI, 40);
  EXPECT_EQ(h_img_ROI, 30);
  EXPECT_EQ(surface_bytes(win_surf), clean);
}

TEST_F(ViewTest, MotionWithoutButtonLeavesSelectionAlone) {
  load_picture(40, 30);
  set_view_mode(true);
  drag(10, 12, 20, 25);
  std::vector<unsigned char> shown = surface_bytes(win_surf);
  move(35, 28, 0);
  EXPECT_EQ(w_img_ROI, 11);
  EXPECT_EQ(h_img_ROI, 14);
  EXPECT_EQ(surface_bytes(win_surf), shown);
}

TEST_F(ViewTest, EmptyRegionShowsSmallMarkAtTopLeftInViewMode) {
  load_picture(40, 30);
  set_view_mode(true);
  EXPECT_DOUBLE_EQ(m_button_x, -1);
  EXPECT_DOUBLE_EQ(m_button_y, -1);
  EXPECT_DOUBLE_EQ(left_x, -1);
  EXPECT_DOUBLE_EQ(top_y, -1);
  EXPECT_DOUBLE_EQ(selection_w, 2);
  EXPECT_DOUBLE_EQ(selection_h, 2);
  // The 2 x 2 outline at (-1, -1): only its bottom edge's first dash
  // (x from -1.5 to 1.5 on row 1) shows whole inside the view.
  EXPECT_EQ(surface_pixel(win_surf, 0, 1), kBlackOutline);
  std::vector<unsigned char> clean = composed_view();
  std::vector<unsigned char> shown = surface_bytes(win_surf);
  int stride = cairo_image_surface_get_stride(win_surf);
  // Everything from row 3 down is untouched.
  EXPECT_TRUE(std::equal(shown.begin() + 3 * stride, shown.end(),
                         clean.begin() + 3 * stride));
}

struct FlagCase {
  bool view;
  bool flag;
  bool outline_shown;  // when false the view must equal the bare layers
  view_pixel outline;
};
void PrintTo(const FlagCase &c, std::ostream *os) {
  *os << (c.view ? "view mode" : "edit mode") << ", flag " << c.flag;
}

class RegionFlagTest : public ViewTest,
                       public ::testing::WithParamInterface<FlagCase> {};

TEST_P(RegionFlagTest, OutlineColourFollowsTheFlag) {
  const FlagCase &c = GetParam();
  load_picture(40, 30);
  // A stroke under the outline's top edge must survive the outline's erasure.
  paint_layer_pixel(6, 5);
  x_img_ROI = 5, y_img_ROI = 6, w_img_ROI = 10, h_img_ROI = 8;
  set_view_mode(c.view);
  set_region_flag(true);  // turned on first, then set as the case says
  set_region_flag(c.flag);
  EXPECT_EQ(calc_ROI_is_set, c.flag ? 1 : 0);
  if (c.outline_shown)
    EXPECT_EQ(surface_pixel(win_surf, 6, 5), c.outline);
  else
    EXPECT_EQ(surface_bytes(win_surf), composed_view());
}

INSTANTIATE_TEST_SUITE_P(
    Region, RegionFlagTest,
    ::testing::Values(FlagCase{true, true, true, kRedOutline},
                      FlagCase{false, true, true, kRedOutline},
                      FlagCase{true, false, true, kBlackOutline},
                      FlagCase{false, false, false, {}}));

TEST_F(ViewTest, EnteringEditModeDropsOutlineUnlessRegionIsInForce) {
  load_picture(40, 30);
  set_view_mode(true);
  drag(10, 12, 20, 25);
  set_view_mode(false);
  EXPECT_EQ(surface_bytes(win_surf), composed_view());
  set_view_mode(true);
  set_region_flag(true);
  set_view_mode(false);
  EXPECT_EQ(surface_pixel(win_surf, 11, 11), kRedOutline);
  // The region survives both switches.
  EXPECT_EQ(x_img_ROI, 10);
  EXPECT_EQ(w_img_ROI, 11);
}

TEST_F(ViewTest, AlphaViewShowsResultAlphaAsGrey) {
  load_picture(40, 30);
  set_view_mode(true);
  cb_draw_alpha(NULL, main_window);
  for (int y = 0; y < 30; y++) {
    for (int x = 0; x < 40; x++) {
      int a = result_alpha(x, y);
      ASSERT_EQ(surface_pixel(win_surf, x, y), (view_pixel{255, a, a, a}))
          << x << "," << y;
    }
  }
}

}  // namespace
