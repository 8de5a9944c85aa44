// Draws the four toolbar icons with cairo and writes them as PNG files into
// the folder given as the only argument (the committed copies live in
// assets/icons/). Build target: make_icons (not built by default).
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>

static const double PI = 3.14159265358979323846;
static const int CHECKER = 4;  // side of a checkerboard square in pixels

static void fill_checkerboard(cairo_t *cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  for (int row = 0; row * CHECKER < h; ++row)
    for (int col = 0; col * CHECKER < w; ++col) {
      const double grey = (row + col) % 2 ? 0.6 : 0.9;
      cairo_set_source_rgb(cr, grey, grey, grey);
      cairo_rectangle(cr, x + col * CHECKER, y + row * CHECKER, CHECKER, CHECKER);
      cairo_fill(cr);
    }
  cairo_restore(cr);
}

static void outline(cairo_t *cr, double x, double y, double w, double h) {
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  cairo_stroke(cr);
}

// Mode toggle, 16x24: the edit half (a picture with a stroke) over the view
// half (a checkerboard showing through the matte).
static void draw_mode_icon(cairo_t *cr) {
  cairo_set_source_rgb(cr, 0.55, 0.7, 0.9);
  cairo_rectangle(cr, 0, 0, 16, 12);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 2.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, 3, 9);
  cairo_curve_to(cr, 6, 2, 9, 10, 13, 3);
  cairo_stroke(cr);
  fill_checkerboard(cr, 0, 12, 16, 12);
  cairo_set_source_rgba(cr, 0.55, 0.7, 0.9, 0.6);
  cairo_arc(cr, 8, 18, 4, 0, 2 * PI);
  cairo_fill(cr);
  outline(cr, 0, 0, 16, 24);
}

// Alpha view, 24x24: a checkerboard under a black-to-white ramp.
static void draw_alpha_icon(cairo_t *cr) {
  fill_checkerboard(cr, 0, 0, 24, 24);
  cairo_pattern_t *ramp = cairo_pattern_create_linear(3, 0, 21, 0);
  cairo_pattern_add_color_stop_rgb(ramp, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgb(ramp, 1, 1, 1, 1);
  cairo_set_source(cr, ramp);
  cairo_rectangle(cr, 3, 7, 18, 10);
  cairo_fill(cr);
  cairo_pattern_destroy(ramp);
  outline(cr, 0, 0, 24, 24);
}

// A brush, 24x24: a handle, a ferrule and a round tip in `paint`, with the
// stroke it leaves; the outline colour keeps it legible on any theme.
static void draw_brush_icon(cairo_t *cr, double paint, double edge) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgb(cr, 0.55, 0.35, 0.15);  // handle
  cairo_set_line_width(cr, 3);
  cairo_move_to(cr, 21, 3);
  cairo_line_to(cr, 13, 11);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.7, 0.7, 0.75);  // ferrule
  cairo_set_line_width(cr, 4);
  cairo_move_to(cr, 13, 11);
  cairo_line_to(cr, 11, 13);
  cairo_stroke(cr);
  cairo_move_to(cr, 3, 21);  // the stroke it painted
  cairo_curve_to(cr, 5, 17, 7, 20, 9, 15);
  cairo_set_line_width(cr, 4.5);
  cairo_set_source_rgb(cr, edge, edge, edge);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 2.5);
  cairo_set_source_rgb(cr, paint, paint, paint);
  cairo_stroke(cr);
  cairo_arc(cr, 9.5, 14.5, 3, 0, 2 * PI);  // tip
  cairo_set_source_rgb(cr, paint, paint, paint);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, edge, edge, edge);
  cairo_stroke(cr);
}

static void draw_fg_icon(cairo_t *cr) { draw_brush_icon(cr, 1.0, 0.15); }
static void draw_bg_icon(cairo_t *cr) { draw_brush_icon(cr, 0.0, 0.85); }

static bool write_icon(const std::string &dir, const char *name, int w, int h,
                       void (*draw)(cairo_t *)) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t *cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  const std::string path = dir + "/" + name;
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    fprintf(stderr, "make_icons: cannot write %s: %s\n", path.c_str(),
            cairo_status_to_string(status));
  return status == CAIRO_STATUS_SUCCESS;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  const bool ok = write_icon(dir, "icon_cv16x24.png", 16, 24, draw_mode_icon) &&
                  write_icon(dir, "icon_alpha24x24.png", 24, 24, draw_alpha_icon) &&
                  write_icon(dir, "iconFG.png", 24, 24, draw_fg_icon) &&
                  write_icon(dir, "iconBG.png", 24, 24, draw_bg_icon);
  return ok ? 0 : 1;
}
