// Copying the calculation region of the picture on show.
#include <gtest/gtest.h>

#include "tests/calc/gtk_test_support.h"
#include "gui/clipboard.h"
#include "gui/main_window.h"

namespace {

void coordinates(int x, int y, guchar rgb[3]) {
  rgb[0] = static_cast<guchar>(x);
  rgb[1] = static_cast<guchar>(y);
  rgb[2] = 200;
}

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    create_test_window();
    in_edit_mode = 0;
    install_picture(100, 100, coordinates);
  }
  void set_region(int x, int y, int w, int h) {
    x_img_ROI = x;
    y_img_ROI = y;
    w_img_ROI = w;
    h_img_ROI = h;
  }
};

TEST_F(ClipboardTest, RegionCopyIsAnIndependentImageWithAlpha) {
  GdkPixbuf *copy = copy_picture_region(pixbuf_alpha, 10, 10, 20, 20);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(copy), 20);
  EXPECT_EQ(gdk_pixbuf_get_height(copy), 20);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(copy));
  guchar *corner = gdk_pixbuf_get_pixels(copy) + gdk_pixbuf_get_rowstride(copy) * 19 + 4 * 19;
  EXPECT_EQ(corner[0], 29);  // picture column 29, row 29
  EXPECT_EQ(corner[1], 29);
  gdk_pixbuf_fill(pixbuf_alpha, 0);
  EXPECT_EQ(corner[0], 29);
  g_object_unref(copy);
}

TEST_F(ClipboardTest, EmptyOrOutOfPictureRegionsGiveNothing) {
  const int regions[][4] = {
      {0, 0, 0, 0}, {10, 10, 0, 5}, {-1, 0, 10, 10}, {0, -1, 10, 10},
      {95, 0, 10, 10}, {0, 91, 10, 10}, {100, 100, 1, 1},
  };
  for (const auto &r : regions) {
    EXPECT_EQ(copy_picture_region(pixbuf_alpha, r[0], r[1], r[2], r[3]), nullptr)
        << r[0] << "," << r[1] << "," << r[2] << "," << r[3];
  }
}

// One test, because the clipboard is shared by every process on the display:
// two tests owning it at once would answer each other's requests.
TEST_F(ClipboardTest, CopyPutsTheRegionOnTheClipboardAndAnEmptyRegionLeavesIt) {
  GtkClipboard *clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_set_text(clipboard, "kept", -1);
  set_region(0, 0, 0, 0);
  pixbuf_to_clipboard(NULL, NULL);
  gchar *text = gtk_clipboard_wait_for_text(clipboard);
  EXPECT_STREQ(text, "kept");
  g_free(text);

  set_region(10, 10, 20, 20);
  pixbuf_to_clipboard(NULL, NULL);
  GdkPixbuf *pasted = gtk_clipboard_wait_for_image(clipboard);
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(pasted), 20);
  EXPECT_EQ(gdk_pixbuf_get_height(pasted), 20);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pasted));
  g_object_unref(pasted);
}

}  // namespace
