// The calculation region (selection drag, dashed outline, conversions) and
// the edit/view mode switch with the grey alpha view.
#include "gui/region.h"

#include "gui/canvas.h"
#include "gui/coords.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/pixel.h"

// Outline of the selection: 4 window pixels on, 2 off, one pixel wide.
static const double dashed1[] = {4.0, 2.0};
static const int len1 = 2;
static const double kOutlineWidth = 1.0;
// The outline runs half a pixel outside the selection's edge pixels.
static const double kHalfPixel = 0.5;

// Toolbar items the mode switch shows or hides; every other item stays as
// it is.
struct mode_item {
  int index;
  gboolean shown_in_edit_mode;
};
static const mode_item kModeItems[] = {
    {TB_ALPHA, FALSE}, {TB_CALC, TRUE},       {TB_FG, TRUE},          {TB_BG, TRUE},
    {TB_ERASER, TRUE}, {TB_BRUSH_SPIN, TRUE}, {TB_BRUSH_SCALE, TRUE},
};

static selection_rect current_selection(void) {
  return selection_rect{left_x, top_y, selection_w, selection_h};
}

static void store_selection(selection_rect sel) {
  left_x = sel.left;
  top_y = sel.top;
  selection_w = sel.width;
  selection_h = sel.height;
}

static pixel_rect current_region(void) {
  return pixel_rect{x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI};
}

static void store_region(pixel_rect region) {
  x_img_ROI = region.x;
  y_img_ROI = region.y;
  w_img_ROI = region.width;
  h_img_ROI = region.height;
}

static void show_mode_items(GtkToolbar *bar) {
  for (const mode_item &item : kModeItems) {
    GtkToolItem *tool = gtk_toolbar_get_nth_item(bar, item.index);
    if (tool)
      gtk_widget_set_visible(GTK_WIDGET(tool), item.shown_in_edit_mode == (in_edit_mode != 0));
  }
}

// New RGB pixbuf of the same size whose every pixel is (a, a, a), a being
// the source pixel's alpha (255 where the source has no alpha channel).
// The caller releases it. NULL when its memory cannot be had.
static GdkPixbuf *alpha_as_grey(GdkPixbuf *source) {
  int width = gdk_pixbuf_get_width(source);
  int height = gdk_pixbuf_get_height(source);
  GdkPixbuf *grey = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  if (grey == NULL) return NULL;
  for (int x = 0; x < width; x++) {
    for (int y = 0; y < height; y++) {
      guchar r = 0, g = 0, b = 0, a = 0;
      gdkpixbuf_get_pixel(source, x, y, &r, &g, &b, &a);
      gdkpixbuf_put_pixel(grey, x, y, a, a, a, 255);
    }
  }
  return grey;
}

void draw_rect(GtkWidget *widget, double x, double y) {
  store_selection(selection_from_drag(m_button_x, m_button_y, x, y));
  cairo_t *cr = cairo_create(win_surf);
  cairo_set_dash(cr, dashed1, len1, 0);
  // Red while the region is in force, black while it is only shown.
  cairo_set_source_rgb(cr, calc_ROI_is_set ? 1.0 : 0.0, 0, 0);
  cairo_rectangle(cr, left_x - kHalfPixel, top_y - kHalfPixel, selection_w + 2 * kHalfPixel,
                  selection_h + 2 * kHalfPixel);
  cairo_set_line_width(cr, kOutlineWidth);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
  cairo_destroy(cr);
  queue_view_area(widget, outline_redraw_area(current_selection()));
}

void del_rect(GtkWidget *widget) {
  // Repainting the band from all the view's layers (not the picture
  // alone) keeps the strokes under an outline erased in edit mode.
  selection_rect band = outline_erase_band(current_selection());
  compose_win_surf_area(band.left, band.top, band.width, band.height);
  queue_view_area(widget, outline_erase_area(current_selection()));
}

void set_img_ROI_values(void) { store_region(region_from_selection(current_selection(), scale)); }

void set_ROI_for_winsurf(void) {
  store_selection(selection_from_region(current_region(), scale, &m_button_x, &m_button_y));
}

void redraw_selection_outline(void) {
  if (!calc_ROI_is_set && in_edit_mode) return;
  set_ROI_for_winsurf();
  draw_rect(drawing_area, left_x, top_y);
}

void selection_press(GtkWidget *widget) {
  del_rect(widget);
  left_x = top_y = 0;
  store_region(
      pixel_rect{0, 0, gdk_pixbuf_get_width(pixbuf_image), gdk_pixbuf_get_height(pixbuf_image)});
}

void selection_drag(GtkWidget *widget, int x, int y) {
  del_rect(widget);
  draw_rect(widget, x, y);
  set_img_ROI_values();
}

void cb_toggle_mode(GtkWidget *button, gpointer bar) {
  in_edit_mode = gtk_toggle_tool_button_get_active(GTK_TOGGLE_TOOL_BUTTON(button)) ? 0 : 1;
  show_mode_items(GTK_TOOLBAR(bar));
  // Edit mode hides the pointer (the brush cursor replaces it); view mode
  // shows the arrow for selecting.
  set_drawing_area_cursor(in_edit_mode ? blank_cursor : NULL);
  pixbuf_image = in_edit_mode ? pixbuf_no_alpha : pixbuf_alpha;
  compose_win_surf();
  redraw_selection_outline();
  gtk_widget_queue_draw(drawing_area);
}

void cb_draw_alpha(GtkWidget *button, gpointer window) {
  (void)button;
  (void)window;
  g_autoptr(GdkPixbuf) grey = alpha_as_grey(pixbuf_alpha);
  if (grey == NULL) return;  // the view stays as it was
  cairo_t *cr = cairo_create(win_surf);
  cairo_scale(cr, scale, scale);
  gdk_cairo_set_source_pixbuf(cr, grey, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  gtk_widget_queue_draw(drawing_area);
}

void toggle_calc_ROI(GtkWidget *menu_item, gpointer data) {
  (void)data;
  calc_ROI_is_set = gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(menu_item)) ? 1 : 0;
  set_ROI_for_winsurf();
  if (!calc_ROI_is_set && in_edit_mode)
    del_rect(drawing_area);
  else
    draw_rect(drawing_area, x_img_ROI * scale, y_img_ROI * scale);
}
