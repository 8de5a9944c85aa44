#include "tests/gui/paint_fixture.h"

#include <glib/gstdio.h>

#include "gui/canvas.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/main_window.h"
#include "gui/pixel.h"
#include "tests/gui/gui_test_support.h"

static GtkAdjustment *adjustment_of(int item_index) {
  GtkWidget *spin = gtk_bin_get_child(GTK_BIN(toolbar_item(item_index)));
  return gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(spin));
}

std::ostream &operator<<(std::ostream &os, const argb &p) {
  return os << "a" << p.a << " r" << p.r << " g" << p.g << " b" << p.b;
}

static void note_window_gone(GtkWidget *, gpointer alive) { *static_cast<bool *>(alive) = false; }

void PaintTest::SetUp() {
  create_test_window();
  window_alive = true;
  g_signal_connect(main_window, "destroy", G_CALLBACK(note_window_gone), &window_alive);
  char *tmp = g_dir_make_tmp("velorin-paint-XXXXXX", NULL);
  ASSERT_NE(tmp, nullptr);
  dir = tmp;
  g_free(tmp);
}

void PaintTest::TearDown() {
  // The tests write plain files only.
  if (GDir *folder = g_dir_open(dir.c_str(), 0, NULL)) {
    while (const char *name = g_dir_read_name(folder))
      g_remove((dir + "/" + name).c_str());
    g_dir_close(folder);
  }
  g_rmdir(dir.c_str());
  if (window_alive) destroy_main_window();
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
  std::string path = dir + "/" + name;
  EXPECT_TRUE(gdk_pixbuf_save(picture, path.c_str(), "png", NULL, NULL));
  g_object_unref(picture);
  return path;
}

void PaintTest::open_picture(int width, int height,
                             const std::function<rgba(int, int)> &colour,
                             bool with_alpha, open_mode mode) {
  std::string path = write_picture("picture.png", width, height, with_alpha, colour);
  GError *error = NULL;
  ASSERT_EQ(open_image_file(path.c_str(), mode, &error), 0);
  flush_events();
}

void PaintTest::open_grey_picture(int width, int height) {
  open_picture(width, height, [](int, int) { return rgba{100, 110, 120, 255}; });
}
void PaintTest::open_patterned_picture(int w, int h) { open_picture(w, h, patterned, true); }

rgba patterned(int x, int y) {
  return rgba{(10 + 3 * x) % 256, (20 + 2 * y) % 256, 100, (x * 7 + y * 31) % 256};
}

void set_zoom_percent(double percent) {
  gtk_adjustment_set_value(adjustment_of(TB_ZOOM_SPIN), percent);
}
void set_brush_size(double size) { gtk_adjustment_set_value(adjustment_of(TB_BRUSH_SPIN), size); }

void set_view_mode(bool view) {
  GtkToggleToolButton *mode = GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE));
  gtk_toggle_tool_button_set_active(mode, view);
  flush_events();
}

void stroke(const point_list &points, guint press_state) {
  send_press(points[0].first, points[0].second, press_state);
  for (size_t i = 1; i < points.size(); i++)
    send_motion(points[i].first, points[i].second);
  send_motion(points.back().first, points.back().second, 0);
}

argb surface_pixel(cairo_surface_t *surface, int x, int y) {
  cairo_surface_flush(surface);
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(surface, x, y, &a, &r, &g, &b);
  return argb{a, r, g, b};
}

argb layer_pixel(int x, int y) { return surface_pixel(surf_layer, x, y); }
argb view_pixel(int x, int y) { return surface_pixel(win_surf, x, y); }

std::vector<unsigned char> surface_bytes(cairo_surface_t *surface) {
  cairo_surface_flush(surface);
  const unsigned char *data = cairo_image_surface_get_data(surface);
  size_t size = (size_t)cairo_image_surface_get_stride(surface) *
                cairo_image_surface_get_height(surface);
  return std::vector<unsigned char>(data, data + size);
}

std::vector<unsigned char> layer_bytes(void) { return surface_bytes(surf_layer); }

std::vector<unsigned char> composed_view(void) {
  cairo_surface_t *kept = win_surf;
  win_surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                        cairo_image_surface_get_width(kept),
                                        cairo_image_surface_get_height(kept));
  compose_win_surf();
  std::vector<unsigned char> bytes = surface_bytes(win_surf);
  cairo_surface_destroy(win_surf);
  win_surf = kept;
  return bytes;
}

void paint_layer_pixel(int x, int y) {
  cairo_surface_flush(surf_layer);
  cairoimagesurface_put_pixel(surf_layer, x, y, 255, 255, 255, 255);
  cairo_surface_mark_dirty(surf_layer);
  compose_win_surf();
}

point_list record_points(const double *record) {
  point_list points;
  for (int i = STROKE_HEADER_SLOTS; i + 1 < (int)record[SLOT_LENGTH]; i += 2)
    points.push_back({record[i], record[i + 1]});
  return points;
}

const double *current_record(void) { return current ? (const double *)current->data : nullptr; }
