// Process-wide application state shared by every GUI handler.
//
// All of it lives on the GTK main-loop thread and is used without locks; the
// calculation's worker thread touches only the calculation record (and the
// arrays it points to) between launch and join.
#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

#include "calc/options.h"

// Toolbar items by index: several handlers reach items through the toolbar,
// so this order is binding.
enum toolbar_item_index {
  TB_MODE_TOGGLE = 0,
  TB_OPEN = 1,
  TB_SAVE_AS = 2,
  TB_ALPHA = 3,
  TB_CALC = 4,
  TB_FG = 5,
  TB_BG = 6,
  TB_ERASER = 7,
  TB_COLOR = 8,
  TB_ZOOM_SPIN = 9,
  TB_ZOOM_SCALE = 10,
  TB_ZOOM_100 = 11,
  TB_SEPARATOR = 12,
  TB_BRUSH_SPIN = 13,
  TB_BRUSH_SCALE = 14,
  TB_ITEM_COUNT = 15
};

// Header slots of a stroke record, before its points (x, y pairs).
enum { STROKE_HEADER_SLOTS = 8 };

extern double scale;         // view zoom factor, 1.0 = 100 %
extern int in_edit_mode;     // 1 edit mode, 0 view mode
extern int finished_stroke;  // 0 from a left press until a motion without button 1
extern int ok_to_calc;       // the options dialog's answer: 1 OK, 0 Cancel
extern int stroke_idx;       // doubles in use in the current stroke record
extern double cursor_x, cursor_y;
extern double radius;                   // brush radius in image pixels
extern double red, green, blue, alpha;  // brush colour; alpha 0 = eraser
extern double prev_x, prev_y;
extern double prev_true_x, prev_true_y;
extern double prev_cursor_x, prev_cursor_y;
extern double m_button_x, m_button_y;
extern double left_x, top_y, selection_w, selection_h;
extern int x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI;
extern int calc_ROI_is_set;
extern GList *history;
extern GList *current;
extern GList *glist_tmp;
extern int his_type;
extern GdkPixbuf *initialisinglayer;
extern char *appdata;
extern GdkPixbuf *pixbuf_no_alpha;
extern GdkPixbuf *pixbuf_alpha;
extern GdkPixbuf *pixbuf_image;  // not an owner
extern cairo_surface_t *surf_layer;
extern cairo_surface_t *win_surf;
extern GdkColor color;
extern option_args *pass_option_args;
extern GtkWidget *drawing_area;
extern GtkWidget *scrolled_window;
extern GtkWidget *toolbar;
extern GtkWidget *status_bar;
extern GdkCursor *blank_cursor;

// The top-level window, which dialogs are made transient for; set by the
// window builder.
extern GtkWidget *main_window;
