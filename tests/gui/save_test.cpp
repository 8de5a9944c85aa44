// Saving the picture on show and the stroke layer.
#include "gui/save.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "tests/gui/gui_test_support.h"

namespace {

rgba ramp(int x, int y) { return rgba{10 * x, 10 * y, 77, 255}; }

class SaveTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(8, 6, ramp);
  }
  std::string path(const char *name) const { return dir + "/" + name; }
  void set_mode(bool edit) {
    in_edit_mode = edit ? 1 : 0;
    pixbuf_image = edit ? pixbuf_no_alpha : pixbuf_alpha;
  }
};

// View mode writes the result with its alpha, edit mode the picture without
// alpha ("Save image") or the stroke layer, unpainted pixels transparent;
// always as PNG.
TEST_F(SaveTest, EachModeWritesItsPictureAsPng) {
  gdk_pixbuf_get_pixels(pixbuf_alpha)[3] = 40;  // alpha of the result's pixel (0, 0)
  fill_layer_rect(0, 0, 2, 2, 1, 1, 1);
  const struct {
    bool edit;
    gint response;
    const char *asked, *written;
    bool alpha;
    rgba at_0_0, at_5_0;
  } cases[] = {
      {false, GTK_RESPONSE_ACCEPT, "cutout.jpg", "cutout.png", true, {0, 0, 77, 40}, ramp(5, 0)},
      {true, SAVE_RESPONSE_IMAGE, "photo.tif", "photo.png", false, ramp(0, 0), ramp(5, 0)},
      {true, GTK_RESPONSE_ACCEPT, "strokes.png", "strokes.png", true, kWhite, kClear}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.asked);
    set_mode(c.edit);
    save_dialog_answer(c.response, path(c.asked).c_str(), dir.c_str());
    GdkPixbuf *saved = gdk_pixbuf_new_from_file(path(c.written).c_str(), NULL);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_has_alpha(saved), c.alpha);
    EXPECT_EQ(pixbuf_pixel(saved, 0, 0), c.at_0_0);
    EXPECT_EQ(pixbuf_pixel(saved, 5, 0), c.at_5_0);
    g_object_unref(saved);
  }
  EXPECT_FALSE(g_file_test(path("cutout.jpg").c_str(), G_FILE_TEST_EXISTS));
}

// The stroke layer's writer once failed without a word.
TEST_F(SaveTest, FailingSaveShowsTheErrorOnTheStatusBar) {
  for (bool layer : {false, true}) {
    set_mode(layer);
    update_statusbar("", SAVE_STATUS_CONTEXT, status_bar);
    char *name = g_strdup(path("no-such-folder/matte.png").c_str());
    EXPECT_FALSE(layer ? save_surface_to_file(name) : save_pixbuf_to_file(name, pixbuf_image));
    g_free(name);
    EXPECT_EQ(statusbar_text().rfind("File open error: ", 0), 0u) << layer << statusbar_text();
  }
}

}  // namespace
