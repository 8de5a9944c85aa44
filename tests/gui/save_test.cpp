// Saving the picture on show and the stroke layer: names, extensions,
// channels, the mode-dependent dialog and the failure message.
#include <string>

#include <gtest/gtest.h>

#include "tests/calc/gtk_test_support.h"
#include "gui/main_window.h"
#include "gui/save.h"
#include "tests/gui/paint_fixture.h"

namespace {

void grey_ramp(int x, int y, guchar rgb[3]) {
  rgb[0] = static_cast<guchar>(10 * x);
  rgb[1] = static_cast<guchar>(10 * y);
  rgb[2] = 77;
}

// The painting fixture gives the window and a temporary folder it removes.
class SaveTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    install_picture(8, 6, grey_ramp);
  }
  std::string path(const char *name) const { return dir + "/" + name; }
  void set_mode(bool edit) {
    in_edit_mode = edit ? 1 : 0;
    pixbuf_image = edit ? pixbuf_no_alpha : pixbuf_alpha;
  }
  GdkPixbuf *load(const char *name) { return gdk_pixbuf_new_from_file(path(name).c_str(), NULL); }
};

struct strip_case {
  const char *name;
  const char *stripped;
};

TEST(StripFileExtension, CutsAtTheLastDotOfTheFileNameOnly) {
  const strip_case cases[] = {
      {"cutout.jpg", "cutout"},
      {"/tmp/photo.tif", "/tmp/photo"},
      {"/tmp/archive.tar.gz", "/tmp/archive.tar"},
      {"matte", "matte"},
      {"/home/me/pictures.d/matte", "/home/me/pictures.d/matte"},
      {"", ""},
  };
  for (const strip_case &c : cases) {
    char *name = g_strdup(c.name);
    strip_file_extension(name);
    EXPECT_STREQ(name, c.stripped) << c.name;
    g_free(name);
  }
}

TEST_F(SaveTest, ViewModeWritesTheResultWithAlphaAsPngAndRemembersTheNameWithoutExtension) {
  set_mode(false);
  guchar *pixels = gdk_pixbuf_get_pixels(pixbuf_alpha);
  pixels[3] = 40;  // alpha of pixel (0, 0)
  save_dialog_answer(GTK_RESPONSE_ACCEPT, path("cutout.jpg").c_str(), dir.c_str());
  GdkPixbuf *saved = load("cutout.png");
  ASSERT_NE(saved, nullptr);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(saved));
  EXPECT_EQ(gdk_pixbuf_get_pixels(saved)[3], 40);
  EXPECT_EQ(gdk_pixbuf_get_width(saved), 8);
  g_object_unref(saved);
  EXPECT_FALSE(g_file_test(path("cutout.jpg").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_EQ(std::string(save_suggested_name()), path("cutout"));
}

TEST_F(SaveTest, EditModeSaveImageWritesThePictureWithoutAlpha) {
  set_mode(true);
  save_dialog_answer(SAVE_RESPONSE_IMAGE, path("photo.tif").c_str(), dir.c_str());
  GdkPixbuf *saved = load("photo.png");
  ASSERT_NE(saved, nullptr);
  EXPECT_FALSE(gdk_pixbuf_get_has_alpha(saved));
  guchar *p = gdk_pixbuf_get_pixels(saved) + gdk_pixbuf_get_rowstride(saved) * 2 + 3 * 3;
  EXPECT_EQ(p[0], 30);
  EXPECT_EQ(p[1], 20);
  g_object_unref(saved);
  // The layer name is not touched by saving the picture.
  EXPECT_EQ(save_suggested_name(), nullptr);
}

TEST_F(SaveTest, EditModeSaveWritesTheStrokeLayerKeepingUnpaintedPixelsTransparent) {
  set_mode(true);
  fill_layer_rect(0, 0, 2, 2, 1, 1, 1);
  save_dialog_answer(GTK_RESPONSE_ACCEPT, path("strokes.png").c_str(), dir.c_str());
  GdkPixbuf *saved = load("strokes.png");
  ASSERT_NE(saved, nullptr);
  ASSERT_TRUE(gdk_pixbuf_get_has_alpha(saved));
  guchar *pixels = gdk_pixbuf_get_pixels(saved);
  EXPECT_EQ(pixels[0], 255);
  EXPECT_EQ(pixels[3], 255);
  EXPECT_EQ(pixels[4 * 5 + 3], 0);  // pixel (5, 0) was never painted
  g_object_unref(saved);
  EXPECT_EQ(std::string(save_suggested_name()), path("strokes"));
}

TEST_F(SaveTest, CancelSavesNothingButRemembersTheFolder) {
  set_mode(false);
  save_dialog_answer(GTK_RESPONSE_CANCEL, path("nothing.png").c_str(), dir.c_str());
  EXPECT_FALSE(g_file_test(path("nothing.png").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_EQ(std::string(save_remembered_folder()), dir);
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

TEST_F(SaveTest, DialogOffersSaveImageOnlyInEditMode) {
  for (bool edit : {true, false}) {
    set_mode(edit);
    GtkWidget *dialog = create_save_dialog(main_window);
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), "Save File");
    GtkWidget *extra = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), SAVE_RESPONSE_IMAGE);
    EXPECT_EQ(extra != NULL, edit);
    if (extra != NULL) {
      EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(extra)), "Save image");
    }
    GSList *filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(dialog));
    ASSERT_EQ(g_slist_length(filters), 2u);
    EXPECT_STREQ(gtk_file_filter_get_name(GTK_FILE_FILTER(filters->data)), "PNG Files");
    EXPECT_STREQ(gtk_file_filter_get_name(GTK_FILE_FILTER(filters->next->data)), "All Files");
    g_slist_free(filters);
    EXPECT_TRUE(gtk_file_chooser_get_do_overwrite_confirmation(GTK_FILE_CHOOSER(dialog)));
    gtk_widget_destroy(dialog);
  }
}

}  // namespace
