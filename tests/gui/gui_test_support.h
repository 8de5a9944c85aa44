// Helpers of the window tests: the real main window in a fixture with a
// temporary folder, its controls moved as the user moves them, modal dialogs
// answered from the main loop that runs them, and read-outs of the layer,
// the view and the status bar.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "gui/open_image.h"
#include "gui/synthesized_events.h"
#include "tests/support/pixbuf_pictures.h"

// Picture pixels compare straight; surface pixels as their stored
// (premultiplied) bytes.
inline bool operator==(const rgba &a, const rgba &b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
std::ostream &operator<<(std::ostream &os, const rgba &p);
const rgba kClear{0, 0, 0, 0}, kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};

// A distinct colour per pixel; its alpha reaches all 256 levels.
rgba patterned(int x, int y);
inline rgba plain_grey(int, int) { return rgba{100, 110, 120, 255}; }

// The whole main window as the program builds it (icons from the source
// tree), each test with a fresh temporary folder `dir`.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes a PNG named `name` into `dir`; returns its path.
  std::string write_picture(const char *name, int width, int height, bool with_alpha,
                            const pixel_fn &colour);
  // Writes a picture and opens it in `mode`; the test fails if it does not open.
  void open_picture(int width, int height, const pixel_fn &colour, bool with_alpha = false,
                    open_mode mode = OPEN_DEFAULT);

  std::string dir;
  bool window_alive = false;  // false once a test has closed the window itself
};

// Sends `event` to `widget`'s window as the server would, and frees it.
void send_to(GtkWidget *widget, GdkEvent *event);
void flush_events(void);
// Runs the main loop until done() holds or `seconds` have passed; returns done().
bool run_until(const std::function<bool()> &done, double seconds = 10);
GtkToolItem *toolbar_item(int index);
// Item `position` (0-based) of the menu bar's menu labelled `menu`, or NULL.
GtkWidget *menu_item(const char *menu, int position);
std::string statusbar_text(void);

void set_zoom_percent(double percent);
void set_brush_size(double size);
void set_view_mode(bool view);

// Answers the modal dialogs titled `title` that the code under test runs,
// polling from the main loop they run: each shown dialog is handed to `act`
// until it returns true, having given a response. Polling stops when the
// object goes out of scope. A dialog left unanswered for ten seconds is
// closed with a test failure, so that no test hangs.
class dialog_answers {
 public:
  typedef std::function<bool(GtkDialog *dialog)> step;
  dialog_answers(const char *title, gint response);
  dialog_answers(const char *title, step act);
  ~dialog_answers();
  int count() const { return answered_; }
  std::string first_text() const { return first_text_; }  // of the first one answered

 private:
  static gboolean poll(gpointer self);
  std::string title_;
  step act_;
  int answered_ = 0;
  int unanswered_polls_ = 0;
  std::string first_text_;
  gpointer last_answered_ = NULL;  // weak: NULL once that dialog is gone
  guint source_ = 0;
};

// Press at the first point, motion with button 1 through the rest, then a
// motion without button 1 that ends the stroke.
typedef std::vector<std::pair<double, double>> point_list;
void stroke(const point_list &points, guint press_state = 0);
// Fills a rectangle of the stroke layer with opaque (r, g, b), each 0..1,
// bypassing the brush and the history, and recomposes the view.
void fill_layer_rect(int x, int y, int w, int h, double r, double g, double b);

rgba layer_pixel(int x, int y);
rgba view_pixel(int x, int y);
rgba pixbuf_pixel(GdkPixbuf *pixbuf, int x, int y);
std::vector<unsigned char> surface_bytes(cairo_surface_t *surface);
std::vector<unsigned char> layer_bytes(void);
std::vector<unsigned char> pixbuf_bytes(GdkPixbuf *pixbuf);
// The points of a stroke record.
point_list record_points(const double *record);
