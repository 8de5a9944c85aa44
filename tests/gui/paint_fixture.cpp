#include "tests/gui/paint_fixture.h"

#include <glib/gstdio.h>

#include "gui/globals.h"
#include "gui/history.h"
#include "gui/main_window.h"
#include "gui/open_image.h"
#include "gui/pixel.h"
#include "tests/gui/gui_test_support.h"
#include "tests/gui/synthesized_events.h"

static GtkAdjustment *adjustment_of(int item_index) {
  GtkToolItem *item = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), item_index);
  return gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(gtk_bin_get_child(GTK_BIN(item))));
}

static void remove_folder(const std::string &path) {
  GDir *folder = g_dir_open(path.c_str(), 0, NULL);
  if (!folder)
    return;
  while (const char *name = g_dir_read_name(folder)) {
    char *file = g_build_filename(path.c_str(), name, NULL);
    if (g_file_test(file, G_FILE_TEST_IS_DIR))
      remove_folder(file);
    else
      g_remove(file);
    g_free(file);
  }
  g_dir_close(folder);
  g_rmdir(path.c_str());
}

void PaintTest::SetUp() {
  create_test_window();
  char *tmp = g_dir_make_tmp("velorin-paint-XXXXXX", NULL);
  ASSERT_NE(tmp, nullptr);
  dir = tmp;
  g_free(tmp);
}

void PaintTest::TearDown() {
  remove_folder(dir);
  gtk_widget_destroy(main_window);
  release_application_state();
}

std::string PaintTest::write_picture(const char *name, int width, int height,
                                     bool with_alpha,
                                     const std::function<rgba(int, int)> &colour) {
  GdkPixbuf *picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, with_alpha, 8, width, height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      rgba c = colour(x, y);
      gdkpixbuf_put_pixel(picture, x, y, c.r, c.g, c.b, c.a);
    }
  char *path = g_build_filename(dir.c_str(), name, NULL);
  std::string result = path;
  EXPECT_TRUE(gdk_pixbuf_save(picture, path, "png", NULL, NULL));
  g_free(path);
  g_object_unref(picture);
  return result;
}

void PaintTest::open_picture(int width, int height,
                             const std::function<rgba(int, int)> &colour) {
  std::string path = write_picture("picture.png", width, height, false, colour);
  GError *error = NULL;
  ASSERT_EQ(open_image_file(path.c_str(), OPEN_DEFAULT, &error), 0);
}

void PaintTest::open_grey_picture(int width, int height) {
  open_picture(width, height, [](int, int) { return rgba{100, 110, 120, 255}; });
}

void set_zoom_percent(double percent) {
  gtk_adjustment_set_value(adjustment_of(TB_ZOOM_SPIN), percent);
}

void set_brush_size(double size) {
  gtk_adjustment_set_value(adjustment_of(TB_BRUSH_SPIN), size);
}

void press(double x, double y, guint state, guint button) {
  send_press(x, y, state, button);
}

void motion(double x, double y, guint state) { send_motion(x, y, state); }

void stroke(const std::vector<std::pair<double, double>> &points, guint press_state) {
  press(points[0].first, points[0].second, press_state);
  for (size_t i = 1; i < points.size(); i++)
    motion(points[i].first, points[i].second);
  motion(points.back().first, points.back().second, 0);
}

static argb surface_pixel(cairo_surface_t *surface, int x, int y) {
  cairo_surface_flush(surface);
  argb p = {0, 0, 0, 0};
  cairoimagesurface_get_pixel(surface, x, y, &p.a, &p.r, &p.g, &p.b);
  return p;
}

argb layer_pixel(int x, int y) { return surface_pixel(surf_layer, x, y); }

argb view_pixel(int x, int y) { return surface_pixel(win_surf, x, y); }

std::vector<unsigned char> layer_bytes(void) {
  cairo_surface_flush(surf_layer);
  const unsigned char *data = cairo_image_surface_get_data(surf_layer);
  size_t size = (size_t)cairo_image_surface_get_stride(surf_layer) *
                cairo_image_surface_get_height(surf_layer);
  return std::vector<unsigned char>(data, data + size);
}

std::vector<std::pair<double, double>> record_points(const double *record) {
  std::vector<std::pair<double, double>> points;
  for (int i = STROKE_HEADER_SLOTS; i + 1 < (int)record[SLOT_LENGTH]; i += 2)
    points.push_back({record[i], record[i + 1]});
  return points;
}

const double *current_record(void) {
  return current ? (const double *)current->data : nullptr;
}
