#include "gui/toolbar.h"

#include "gui/brush.h"
#include "gui/calc_state.h"
#include "gui/canvas.h"
#include "gui/globals.h"
#include "gui/open_image.h"
#include "gui/region.h"
#include "gui/save.h"

const adjustment_values ZOOM_ADJUSTMENT = {100, 12.5, 400, 12.5, 25};
const adjustment_values BRUSH_ADJUSTMENT = {10, 1, 1024, 1, 5};

static const double SPIN_CLIMB_RATE = 1.0;
static const guint ZOOM_DIGITS = 1;
static const guint BRUSH_DIGITS = 0;
static const int ZOOM_SCALE_WIDTH = 70;

static GtkObject *new_adjustment(const adjustment_values &v) {
  return gtk_adjustment_new(v.value, v.lower, v.upper, v.step, v.page, 0);
}

static GtkWidget *icon_image(const char *icon_prefix, const char *file_name) {
  g_autofree char *path = g_strconcat(icon_prefix, file_name, NULL);
  return gtk_image_new_from_file(path);
}

static void connect_clicked(GtkToolItem *item, GCallback handler, gpointer data) {
  if (handler) g_signal_connect(item, "clicked", handler, data);
}

static GtkToolItem *stock_button(const char *stock_id, const char *tooltip, GCallback handler,
                                 gpointer data) {
  GtkToolItem *item = gtk_tool_button_new_from_stock(stock_id);
  gtk_tool_item_set_tooltip_text(item, tooltip);
  connect_clicked(item, handler, data);
  return item;
}

// A button with an icon from the icon folder; the tooltip sits on the icon.
static GtkToolItem *icon_button(const char *icon_prefix, const char *file_name, const char *label,
                                const char *tooltip, GCallback handler, gpointer data) {
  GtkWidget *image = icon_image(icon_prefix, file_name);
  gtk_widget_set_tooltip_text(image, tooltip);
  GtkToolItem *item = gtk_tool_button_new(image, label);
  connect_clicked(item, handler, data);
  return item;
}

static GtkToolItem *mode_toggle(const char *icon_prefix, GtkWidget *bar) {
  GtkToolItem *item = gtk_toggle_tool_button_new();
  gtk_tool_button_set_icon_widget(GTK_TOOL_BUTTON(item),
                                  icon_image(icon_prefix, "icon_cv16x24.png"));
  gtk_tool_item_set_tooltip_markup(item, "toggle between <i>edit</i> and <i>view</i> modes");
  connect_clicked(item, G_CALLBACK(cb_toggle_mode), bar);
  return item;
}

static GtkToolItem *holder_item(GtkWidget *child, const char *tooltip) {
  GtkToolItem *item = gtk_tool_item_new();
  gtk_container_add(GTK_CONTAINER(item), child);
  if (tooltip) gtk_tool_item_set_tooltip_text(item, tooltip);
  return item;
}

static GtkToolItem *color_item(GtkWidget *bar) {
  GtkWidget *button = gtk_color_button_new_with_color(&color);
  gtk_widget_set_tooltip_text(button, "Select regions with an alternate transparency.");
  g_signal_connect(button, "color-set", G_CALLBACK(cb_set_Color), bar);
  return holder_item(button, NULL);
}

static GtkToolItem *spin_item(GtkObject *adjustment, guint digits, const char *tooltip) {
  GtkWidget *spin = gtk_spin_button_new(GTK_ADJUSTMENT(adjustment), SPIN_CLIMB_RATE, digits);
  return holder_item(spin, tooltip);
}

static GtkWidget *new_hscale(GtkObject *adjustment, guint digits) {
  GtkWidget *scale_widget = gtk_hscale_new(GTK_ADJUSTMENT(adjustment));
  gtk_scale_set_digits(GTK_SCALE(scale_widget), digits);
  gtk_scale_set_draw_value(GTK_SCALE(scale_widget), FALSE);
  return scale_widget;
}

static GtkToolItem *zoom_scale_item(GtkObject *zoom) {
  GtkWidget *scale_widget = new_hscale(zoom, ZOOM_DIGITS);
  gtk_widget_set_size_request(scale_widget, ZOOM_SCALE_WIDTH, 0);
  return holder_item(scale_widget, "Drag to scale image view between 12.5% - 400%.");
}

// The brush scale takes the rest of the toolbar's width.
static GtkToolItem *brush_scale_item(GtkObject *brush) {
  GtkToolItem *item = holder_item(new_hscale(brush, BRUSH_DIGITS), "Drag to set brush size.");
  gtk_tool_item_set_homogeneous(item, FALSE);
  gtk_tool_item_set_expand(item, TRUE);
  return item;
}

static GtkToolItem *invisible_separator(void) {
  GtkToolItem *item = gtk_separator_tool_item_new();
  gtk_separator_tool_item_set_draw(GTK_SEPARATOR_TOOL_ITEM(item), FALSE);
  return item;
}

void populate_toolbar(GtkWidget *bar, GtkWidget *window, const char *icon_prefix) {
  // Icons only: the labels "ALPHA", "FG" and "BG" are never shown.
  gtk_toolbar_set_style(GTK_TOOLBAR(bar), GTK_TOOLBAR_ICONS);
  gtk_toolbar_set_icon_size(GTK_TOOLBAR(bar), GTK_ICON_SIZE_LARGE_TOOLBAR);
  gtk_container_set_border_width(GTK_CONTAINER(bar), 0);

  GtkObject *zoom = new_adjustment(ZOOM_ADJUSTMENT);
  GtkObject *brush = new_adjustment(BRUSH_ADJUSTMENT);
  GtkToolItem *items[TB_ITEM_COUNT];
  items[TB_MODE_TOGGLE] = mode_toggle(icon_prefix, bar);
  items[TB_OPEN] =
      stock_button(GTK_STOCK_OPEN, "Open an image file", G_CALLBACK(on_open_image), bar);
  items[TB_SAVE_AS] = stock_button(GTK_STOCK_SAVE_AS, "Save image", G_CALLBACK(on_save_as), window);
  items[TB_ALPHA] =
      icon_button(icon_prefix, "icon_alpha24x24.png", "ALPHA",
                  "View alpha channel as 256 shades of grey.", G_CALLBACK(cb_draw_alpha), window);
  items[TB_CALC] = stock_button(GTK_STOCK_EXECUTE, "Calculate / Pull the matte.",
                                G_CALLBACK(registered_calculate_handler()), bar);
  items[TB_FG] =
      icon_button(icon_prefix, "iconFG.png", "FG", "Select foreground with white brush strokes.",
                  G_CALLBACK(cb_set_FG), bar);
  items[TB_BG] =
      icon_button(icon_prefix, "iconBG.png", "BG", "Select background with black brush strokes.",
                  G_CALLBACK(cb_set_BG), bar);
  items[TB_ERASER] =
      stock_button(GTK_STOCK_CLEAR, "Erase brush strokes.", G_CALLBACK(cb_set_Eraser), bar);
  items[TB_COLOR] = color_item(bar);
  items[TB_ZOOM_SPIN] = spin_item(zoom, ZOOM_DIGITS, "Scale image view between 12.5% - 400%.");
  items[TB_ZOOM_SCALE] = zoom_scale_item(zoom);
  items[TB_ZOOM_100] =
      stock_button(GTK_STOCK_ZOOM_100, "Reset scale to 100%.", G_CALLBACK(cb_zoom_to), zoom);
  items[TB_SEPARATOR] = invisible_separator();
  items[TB_BRUSH_SPIN] = spin_item(brush, BRUSH_DIGITS, "Set brush size.");
  items[TB_BRUSH_SCALE] = brush_scale_item(brush);

  for (GtkToolItem *item : items) gtk_toolbar_insert(GTK_TOOLBAR(bar), item, -1);

  // Connected last: building the spin buttons and scales emits
  // "value_changed", which must not zoom the 1x1 placeholder picture and so
  // shrink the drawing area's size request before anything is opened.
  g_signal_connect(zoom, "value_changed", G_CALLBACK(cb_draw_zoom), window);
  g_signal_connect(brush, "value_changed", G_CALLBACK(cb_set_brush_size), bar);
}

int count_missing_toolbar_icons(GtkWidget *bar) {
  static const int ICON_FILE_ITEMS[] = {TB_MODE_TOGGLE, TB_ALPHA, TB_FG, TB_BG};
  int missing = 0;
  for (int index : ICON_FILE_ITEMS) {
    GtkToolItem *item = gtk_toolbar_get_nth_item(GTK_TOOLBAR(bar), index);
    GtkWidget *icon = gtk_tool_button_get_icon_widget(GTK_TOOL_BUTTON(item));
    // A file that does not load leaves the stock missing-image icon.
    if (!GTK_IS_IMAGE(icon) || gtk_image_get_storage_type(GTK_IMAGE(icon)) != GTK_IMAGE_PIXBUF)
      ++missing;
  }
  return missing;
}
