// Shared set-up of the painting, history and open tests: the main window, a
// temporary folder for pictures written by the test, synthesized pointer
// events and pixel snapshots of the layer.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

struct rgba {
  guchar r, g, b, a;
};

// One layer pixel as stored: premultiplied alpha, red, green, blue.
struct argb {
  guchar a, r, g, b;
};

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a PNG of width x height into the temporary folder; `colour`
  // gives each pixel. Returns its path.
  std::string write_picture(const char *name, int width, int height, bool with_alpha,
                            const std::function<rgba(int x, int y)> &colour);
  // Writes a picture and opens it as the current picture (Default open).
  void open_picture(int width, int height, const std::function<rgba(int, int)> &colour);
  void open_grey_picture(int width, int height);

  std::string dir;
};

// Toolbar controls, through their adjustments as the user moves them.
void set_zoom_percent(double percent);
void set_brush_size(double size);

// Drawing-area events sent to the pointer handlers.
void press(double x, double y, guint state = 0, guint button = 1);
void motion(double x, double y, guint state = GDK_BUTTON1_MASK);
// A stroke: press at the first point, motion with button 1 through the rest,
// then a motion without button 1 that ends it.
void stroke(const std::vector<std::pair<double, double>> &points, guint press_state = 0);

argb layer_pixel(int x, int y);
argb view_pixel(int x, int y);
// The layer's bytes, for comparing whole layers.
std::vector<unsigned char> layer_bytes(void);
// Points of a stroke record, as (x, y) pairs.
std::vector<std::pair<double, double>> record_points(const double *record);
const double *current_record(void);
