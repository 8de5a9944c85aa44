// Draws the four toolbar icons and the application icon with cairo and
// writes them as PNG files: the toolbar icons into the first folder given,
// the application icon at the launcher's sizes into the second (the
// committed copies live in assets/icons/ and assets/app-icon/). Build
// target: make_icons (not built by default).
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

struct rgb {
  double r, g, b;
};
struct box {
  double x, y, w, h;
};

// Fills `area` with a linear ramp from `from` at (x0, y0) to `to` at (x1, y1).
static void fill_with_ramp(cairo_t *cr, box area, double x0, double y0, rgb from, double x1,
                           double y1, rgb to) {
  cairo_pattern_t *ramp = cairo_pattern_create_linear(x0, y0, x1, y1);
  cairo_pattern_add_color_stop_rgb(ramp, 0, from.r, from.g, from.b);
  cairo_pattern_add_color_stop_rgb(ramp, 1, to.r, to.g, to.b);
  cairo_set_source(cr, ramp);
  cairo_rectangle(cr, area.x, area.y, area.w, area.h);
  cairo_fill(cr);
  cairo_pattern_destroy(ramp);
}

// Alpha view, 24x24: a checkerboard under a black-to-white ramp.
static void draw_alpha_icon(cairo_t *cr) {
  fill_checkerboard(cr, 0, 0, 24, 24);
  fill_with_ramp(cr, {3, 7, 18, 10}, 3, 0, {0, 0, 0}, 21, 0, {1, 1, 1});
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

// One petal of the application icon's flower, pointing along `angle`.
static void petal_path(cairo_t *cr, double angle) {
  cairo_save(cr);
  cairo_translate(cr, 128, 128);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, 30, -26, 78, -20, 88, 0);
  cairo_curve_to(cr, 78, 20, 30, 26, 0, 0);
  cairo_restore(cr);
}

static void flower_path(cairo_t *cr) {
  const int PETALS = 6;
  for (int i = 0; i < PETALS; ++i) petal_path(cr, PI / 2 + i * 2 * PI / PETALS);
}

// Application icon, drawn on a 256 x 256 grid: a flower on a rounded tile
// whose left half is the photograph (yellow petals over blue water) and
// whose right half is its matte (white petals on black).
static void draw_app_icon(cairo_t *cr) {
  const double x = 12, y = 12, side = 232, r = 40;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + side - r, y + r, r, -PI / 2, 0);
  cairo_arc(cr, x + side - r, y + side - r, r, 0, PI / 2);
  cairo_arc(cr, x + r, y + side - r, r, PI / 2, PI);
  cairo_arc(cr, x + r, y + r, r, PI, 3 * PI / 2);
  cairo_close_path(cr);
  cairo_path_t *tile = cairo_copy_path(cr);
  cairo_clip(cr);

  fill_with_ramp(cr, {0, 0, 128, 256}, 0, y, {0.45, 0.68, 0.9}, 0, y + side, {0.1, 0.3, 0.55});
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, 128, 0, 128, 256);
  cairo_fill(cr);

  cairo_save(cr);  // the photograph's flower
  cairo_rectangle(cr, 0, 0, 128, 256);
  cairo_clip(cr);
  flower_path(cr);
  cairo_set_source_rgb(cr, 1.0, 0.82, 0.1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.8, 0.5, 0.0);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  cairo_arc(cr, 128, 128, 22, 0, 2 * PI);
  cairo_set_source_rgb(cr, 0.85, 0.4, 0.05);
  cairo_fill(cr);
  cairo_restore(cr);

  cairo_save(cr);  // its matte
  cairo_rectangle(cr, 128, 0, 128, 256);
  cairo_clip(cr);
  flower_path(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  cairo_restore(cr);

  cairo_reset_clip(cr);
  cairo_append_path(cr, tile);
  cairo_path_destroy(tile);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
  cairo_set_line_width(cr, 6);
  cairo_stroke(cr);
}

static bool write_icon(const std::string &dir, const char *name, int w, int h,
                       void (*draw)(cairo_t *), double scale = 1) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t *cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
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

// The hicolor theme's usual application icon sizes.
static const int APP_ICON_SIZES[] = {16, 32, 48, 64, 128, 256};
static const double APP_ICON_GRID = 256;

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_icons TOOLBAR_ICON_FOLDER APP_ICON_FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = write_icon(dir, "icon_cv16x24.png", 16, 24, draw_mode_icon) &&
            write_icon(dir, "icon_alpha24x24.png", 24, 24, draw_alpha_icon) &&
            write_icon(dir, "iconFG.png", 24, 24, draw_fg_icon) &&
            write_icon(dir, "iconBG.png", 24, 24, draw_bg_icon);
  for (int size : APP_ICON_SIZES) {
    const std::string name = "velorin-" + std::to_string(size) + ".png";
    ok = ok && write_icon(argv[2], name.c_str(), size, size, draw_app_icon, size / APP_ICON_GRID);
  }
  return ok ? 0 : 1;
}
