// Saving the picture on show and the stroke layer: names, extensions,
// channels and the failure message.
#include <string>

#include <gtest/gtest.h>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/save.h"
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
  // Pixel (x, y) of a saved file, and whether it has alpha; a test failure
  // when it does not load.
  rgba saved_pixel(const char *name, int x, int y, bool *has_alpha = NULL) {
    GdkPixbuf *saved = gdk_pixbuf_new_from_file(path(name).c_str(), NULL);
    EXPECT_NE(saved, nullptr) << name;
    if (!saved) return kClear;
    if (has_alpha) *has_alpha = gdk_pixbuf_get_has_alpha(saved);
    rgba p = pixbuf_pixel(saved, x, y);
    g_object_unref(saved);
    return p;
  }
};

TEST_F(SaveTest, ViewModeWritesTheResultWithAlphaAsPngAndRemembersTheNameWithoutExtension) {
  set_mode(false);
  gdk_pixbuf_get_pixels(pixbuf_alpha)[3] = 40;  // alpha of pixel (0, 0)
  save_dialog_answer(GTK_RESPONSE_ACCEPT, path("cutout.jpg").c_str(), dir.c_str());
  EXPECT_EQ(saved_pixel("cutout.png", 0, 0).a, 40);
  EXPECT_FALSE(g_file_test(path("cutout.jpg").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_EQ(std::string(save_suggested_name()), path("cutout"));
}

TEST_F(SaveTest, EditModeSaveImageWritesThePictureWithoutAlpha) {
  set_mode(true);
  save_dialog_answer(SAVE_RESPONSE_IMAGE, path("photo.tif").c_str(), dir.c_str());
  bool has_alpha = true;
  EXPECT_EQ(saved_pixel("photo.png", 3, 2, &has_alpha), ramp(3, 2));
  EXPECT_FALSE(has_alpha);
  EXPECT_EQ(save_suggested_name(), nullptr);  // the layer's name is another
}

TEST_F(SaveTest, EditModeSaveWritesTheStrokeLayerKeepingUnpaintedPixelsTransparent) {
  set_mode(true);
  fill_layer_rect(0, 0, 2, 2, 1, 1, 1);
  save_dialog_answer(GTK_RESPONSE_ACCEPT, path("strokes.png").c_str(), dir.c_str());
  EXPECT_EQ(saved_pixel("strokes.png", 0, 0), kWhite);
  EXPECT_EQ(saved_pixel("strokes.png", 5, 0).a, 0);  // never painted
  EXPECT_EQ(std::string(save_suggested_name()), path("strokes"));
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
