// Test fixture for the canvas and region tests: the whole main window under
// Xvfb with a small synthetic picture, and helpers to read view pixels.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "gui/canvas.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/pixel.h"
#include "gui/pointer_events.h"
#include "tests/gui/gui_test_support.h"

#include <vector>

// One view pixel as stored in `win_surf` (premultiplied ARGB).
struct view_pixel {
  int a, r, g, b;
  bool operator==(const view_pixel &o) const {
    return a == o.a && r == o.r && g == o.g && b == o.b;
  }
  bool operator!=(const view_pixel &o) const { return !(*this == o); }
};

inline std::ostream &operator<<(std::ostream &os, const view_pixel &p) {
  return os << "a" << p.a << " r" << p.r << " g" << p.g << " b" << p.b;
}

inline view_pixel surface_pixel(cairo_surface_t *surface, int x, int y) {
  guchar a = 0, r = 0, g = 0, b = 0;
  cairo_surface_flush(surface);
  cairoimagesurface_get_pixel(surface, x, y, &a, &r, &g, &b);
  return view_pixel{a, r, g, b};
}

// The stored bytes of a whole surface, to compare views.
inline std::vector<unsigned char> surface_bytes(cairo_surface_t *surface) {
  cairo_surface_flush(surface);
  const unsigned char *data = cairo_image_surface_get_data(surface);
  size_t size = (size_t)cairo_image_surface_get_stride(surface) *
                cairo_image_surface_get_height(surface);
  return std::vector<unsigned char>(data, data + size);
}

class ViewTest : public ::testing::Test {
 protected:
  // Edit menu: Copy, Undo, Redo, then the region flag's check item.
  static const int kRegionFlagPosition = 3;

  // Picture colour (r, g, b) at (x, y); distinct per pixel and opaque.
  static void picture_colour(int x, int y, guchar *r, guchar *g, guchar *b) {
    *r = (guchar)(10 + 3 * x);
    *g = (guchar)(20 + 2 * y);
    *b = 100;
  }
  // Result alpha of `pixbuf_alpha` at (x, y): all 256 levels reachable.
  static guchar result_alpha(int x, int y) { return (guchar)(x * 7 + y * 31); }

  void SetUp() override { create_test_window(); }

  void TearDown() override { release_application_state(); }

  // Replaces the picture by a width × height one (RGB, with its result in
  // `pixbuf_alpha`), an empty stroke layer and a view at the current zoom.
  void load_picture(int width, int height) {
    g_object_unref(pixbuf_no_alpha);
    g_object_unref(pixbuf_alpha);
    pixbuf_no_alpha = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    pixbuf_alpha = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    for (int y = 0; y < height; y++) {
      for (int x = 0; x < width; x++) {
        guchar r, g, b;
        picture_colour(x, y, &r, &g, &b);
        gdkpixbuf_put_pixel(pixbuf_no_alpha, x, y, r, g, b, 255);
        gdkpixbuf_put_pixel(pixbuf_alpha, x, y, r, g, b, result_alpha(x, y));
      }
    }
    pixbuf_image = in_edit_mode ? pixbuf_no_alpha : pixbuf_alpha;
    cairo_surface_destroy(surf_layer);
    surf_layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    replace_win_surf();
    flush_events();
  }

  // An opaque white stroke pixel in the layer, shown in the view.
  void paint_layer_pixel(int x, int y) {
    cairo_surface_flush(surf_layer);
    cairoimagesurface_put_pixel(surf_layer, x, y, 255, 255, 255, 255);
    cairo_surface_mark_dirty(surf_layer);
    compose_win_surf();
  }

  static GtkAdjustment *zoom_adjustment(void) {
    GtkWidget *spin = gtk_bin_get_child(GTK_BIN(toolbar_item(TB_ZOOM_SPIN)));
    return gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(spin));
  }

  static void set_view_mode(bool view) {
    gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)),
                                      view);
    flush_events();
  }

  // Sets "Calculate From Selection" through the Edit menu's check item.
  static void set_region_flag(bool on) {
    GtkWidget *check = menu_item("Edit", kRegionFlagPosition);
    ASSERT_TRUE(check && GTK_IS_CHECK_MENU_ITEM(check));
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(check), on);
  }

  // A left press at window (x, y), as the drawing area receives it.
  static void press(double x, double y, guint state = 0) {
    GdkEventButton event = {};
    event.type = GDK_BUTTON_PRESS;
    event.window = gtk_widget_get_window(drawing_area);
    event.x = x;
    event.y = y;
    event.state = state;
    event.button = 1;
    button_press_event(drawing_area, &event, NULL);
  }

  // A pointer motion to window (x, y); `state` holds the buttons held.
  static void move(double x, double y, guint state) {
    GdkEventMotion event = {};
    event.type = GDK_MOTION_NOTIFY;
    event.window = gtk_widget_get_window(drawing_area);
    event.x = x;
    event.y = y;
    event.state = state;
    event.is_hint = FALSE;
    motion_notify_event(drawing_area, &event, NULL);
  }

  static void drag(double x0, double y0, double x1, double y1) {
    press(x0, y0);
    move(x1, y1, GDK_BUTTON1_MASK);
  }

  // The view composed afresh from the layers, without any outline.
  static std::vector<unsigned char> composed_view(void) {
    cairo_surface_t *kept = win_surf;
    win_surf = cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(kept),
        cairo_image_surface_get_height(kept));
    compose_win_surf();
    std::vector<unsigned char> bytes = surface_bytes(win_surf);
    cairo_surface_destroy(win_surf);
    win_surf = kept;
    return bytes;
  }

  // Expected view pixel of the opaque picture at picture pixel (x, y).
  static view_pixel picture_pixel(int x, int y) {
    guchar r, g, b;
    picture_colour(x, y, &r, &g, &b);
    return view_pixel{255, r, g, b};
  }
};
