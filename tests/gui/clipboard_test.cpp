// What Edit -> Copy puts on the clipboard.
#include "gui/clipboard.h"

#include <gtest/gtest.h>

#include "tests/support/pixbuf_pictures.h"

namespace {

TEST(CopyPictureRegion, IsAnIndependentCopyOfARegionWhollyInsideOrNothing) {
  GdkPixbuf *picture = make_pixbuf(100, 100, true, [](int x, int y) {
    return rgba{x, y, 200, 255};
  });
  const int empty_or_outside[][4] = {
      {10, 10, 0, 5}, {-1, 0, 10, 10}, {0, -1, 10, 10}, {95, 0, 10, 10}, {0, 91, 10, 10}};
  for (const auto &r : empty_or_outside)
    EXPECT_EQ(copy_picture_region(picture, r[0], r[1], r[2], r[3]), nullptr)
        << r[0] << "," << r[1] << "," << r[2] << "," << r[3];

  GdkPixbuf *copy = copy_picture_region(picture, 10, 10, 20, 20);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_height(copy), 20);
  const guchar *corner = gdk_pixbuf_get_pixels(copy) + gdk_pixbuf_get_rowstride(copy) * 19 + 4 * 19;
  gdk_pixbuf_fill(picture, 0);
  EXPECT_EQ(corner[0], 29);  // picture column 29, row 29, as it was
  EXPECT_EQ(corner[1], 29);
  g_object_unref(copy);
  g_object_unref(picture);
}

}  // namespace
