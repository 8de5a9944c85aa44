// The calculation region and the edit/view modes.
//
// The selection (`left_x`, `top_y`, `selection_w`, `selection_h`, anchor
// `m_button_x`, `m_button_y`) is in window pixels; the calculation region
// (`x_img_ROI`, `y_img_ROI`, `w_img_ROI`, `h_img_ROI`) in picture pixels. The
// region may reach beyond the picture; users clip it (clip_region in calc/engine_input.h).
//
// Only selection_press, selection_drag and toggle_calc_ROI change the
// region or its flag: a caller that must keep the region fixed (a running
// calculation) guards those three.
#pragma once

#include <gtk/gtk.h>

// Recomputes the selection from the anchor and the moving corner (x, y),
// strokes its dashed outline into `win_surf` (red while `calc_ROI_is_set`,
// black otherwise) and queues its area on `widget`.
void draw_rect(GtkWidget *widget, double x, double y);
// Repaints the band under the current outline from the view's layers and
// queues it on `widget`.
void del_rect(GtkWidget *widget);
// Selection -> calculation region.
void set_img_ROI_values(void);
// Calculation region -> selection and anchor at the current `scale`.
void set_ROI_for_winsurf(void);
// After `win_surf` was repainted whole: draws the outline of the region
// again when it is shown (view mode, or the region is in force).
void redraw_selection_outline(void);

// View-mode halves of the pointer handlers: a left press starts a new
// selection (the region becomes the whole picture), a drag with button 1
// held follows the pointer to (x, y), in window pixels.
void selection_press(GtkWidget *widget);
void selection_drag(GtkWidget *widget, int x, int y);

void cb_toggle_mode(GtkWidget *button, gpointer toolbar);
void cb_draw_alpha(GtkWidget *button, gpointer window);
void toggle_calc_ROI(GtkWidget *menu_item, gpointer data);
