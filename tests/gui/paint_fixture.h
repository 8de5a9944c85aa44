// Shared set-up of the GUI behaviour tests: the main window under Xvfb, a
// temporary folder for pictures written by the test, toolbar controls, and
// pixel read-outs of the layer and the view.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "gui/open_image.h"
#include "tests/gui/synthesized_events.h"

struct rgba {
  int r, g, b, a;
};

// One surface pixel as stored: premultiplied alpha, red, green, blue.
struct argb {
  int a, r, g, b;
  bool operator==(const argb &o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
  bool operator!=(const argb &o) const { return !(*this == o); }
};
std::ostream &operator<<(std::ostream &os, const argb &p);
const argb kClear{0, 0, 0, 0}, kWhite{255, 255, 255, 255}, kBlack{255, 0, 0, 0};

typedef std::vector<std::pair<double, double>> point_list;

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a PNG into the temporary folder, each pixel from `colour`;
  // returns its path.
  std::string write_picture(const char *name, int width, int height, bool with_alpha,
                            const std::function<rgba(int x, int y)> &colour);
  // Writes a picture and opens it; the test fails if it does not open.
  void open_picture(int width, int height, const std::function<rgba(int, int)> &colour,
                    bool with_alpha = false, open_mode mode = OPEN_DEFAULT);
  void open_grey_picture(int width, int height);  // every pixel (100, 110, 120)
  void open_patterned_picture(int width, int height);  // patterned(), with alpha

  std::string dir;
  bool window_alive;  // false once a test has closed the window itself
};

// A distinct colour per pixel; its alpha reaches all 256 levels.
rgba patterned(int x, int y);

// Toolbar controls, moved as the user moves them.
void set_zoom_percent(double percent);
void set_brush_size(double size);
void set_view_mode(bool view);

// Press at the first point, motion with button 1 through the rest, then a
// motion without button 1 that ends the stroke.
void stroke(const point_list &points, guint press_state = 0);

argb surface_pixel(cairo_surface_t *surface, int x, int y);
argb layer_pixel(int x, int y);
argb view_pixel(int x, int y);
std::vector<unsigned char> surface_bytes(cairo_surface_t *surface);
std::vector<unsigned char> layer_bytes(void);
// The view composed afresh from the layers, without any outline.
std::vector<unsigned char> composed_view(void);
// Puts an opaque white stroke pixel into the layer and the view.
void paint_layer_pixel(int x, int y);

point_list record_points(const double *record);
const double *current_record(void);
