#include "gui/about_dialog.h"

#include <algorithm>
#include <cmath>

#include "gui/globals.h"

static const double LOGO_WIDTH_UNITS = 71.0;
static const double LOGO_HEIGHT_UNITS = 27.0;
static const double LOGO_MARGIN_UNITS = 9.0;  // added to the width before scaling
static const double LETTER_LINE_WIDTH = 3.0;
static const double SECOND_ROW_Y = 14.0;

static void set_orange(cairo_t *cr) { cairo_set_source_rgb(cr, 0.69, 0.19, 0.0); }
static void set_grey(cairo_t *cr) { cairo_set_source_rgb(cr, 0.6, 0.6, 0.6); }

// Letters of the logotype, each with its origin at the top left of its cell
// like lower_case_e: the x-height runs from y + 5.5 to y + 11.5 (stroke
// centres), round letters have radius 3 around (x + 4.5, y + 8.5).
static void capital_c(cairo_t *cr, double x, double y) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + 5.5, y + 6.5, 5.0, 0.75, 2 * M_PI - 0.75);
  cairo_stroke(cr);
}

static void lower_case_o(cairo_t *cr, double x, double y) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + 4.5, y + 8.5, 3.0, 0, 2 * M_PI);
  cairo_stroke(cr);
}

static void lower_case_r(cairo_t *cr, double x, double y) {
  cairo_move_to(cr, x + 1.5, y + 13.0);
  cairo_line_to(cr, x + 1.5, y + 8.5);
  cairo_arc(cr, x + 4.5, y + 8.5, 3.0, M_PI, 1.75 * M_PI);
  cairo_stroke(cr);
}

static void lower_case_v(cairo_t *cr, double x, double y) {
  cairo_move_to(cr, x + 1.0, y + 5.5);
  cairo_line_to(cr, x + 4.5, y + 12.0);
  cairo_line_to(cr, x + 8.0, y + 5.5);
  cairo_stroke(cr);
}

static void lower_case_a(cairo_t *cr, double x, double y) {
  lower_case_o(cr, x, y);
  cairo_move_to(cr, x + 7.5, y + 5.5);
  cairo_line_to(cr, x + 7.5, y + 13.0);
  cairo_stroke(cr);
}

static void lower_case_n(cairo_t *cr, double x, double y) {
  cairo_move_to(cr, x + 1.5, y + 13.0);
  cairo_line_to(cr, x + 1.5, y + 8.5);
  cairo_arc(cr, x + 4.5, y + 8.5, 3.0, M_PI, 2 * M_PI);
  cairo_line_to(cr, x + 7.5, y + 13.0);
  cairo_stroke(cr);
}

double about_logo_scale(int width, int height) {
  return std::min(height / LOGO_HEIGHT_UNITS, (width + LOGO_MARGIN_UNITS) / LOGO_WIDTH_UNITS);
}

void lower_case_e(cairo_t *cr, double x, double y) {
  cairo_move_to(cr, x + 7.5, y + 9);
  cairo_arc_negative(cr, x + 4.5, y + 8.5, 3, 0, 0.8727);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, x + 7.5, y + 8.5);
  cairo_line_to(cr, x + 2, y + 8.5);
  cairo_stroke(cr);
  cairo_set_line_width(cr, LETTER_LINE_WIDTH);
}

void do_drawing(cairo_t *cr, GtkWidget *) {
  set_orange(cr);
  cairo_set_line_width(cr, 4.5);
  cairo_arc(cr, 9, 9, 6.75, -M_PI, -0.1);
  cairo_stroke(cr);

  cairo_set_line_width(cr, 3);
  cairo_arc(cr, 9, 9, 7.5, M_PI, M_PI / 2);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, 1.5, 27);
  cairo_line_to(cr, 1.5, 9);
  cairo_stroke(cr);

  set_grey(cr);
  cairo_move_to(cr, 4.5, 27);
  cairo_line_to(cr, 4.5, 9);
  cairo_arc(cr, 9, 9, 4.5, M_PI, 0);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, 9, 16.5);
  cairo_line_to(cr, 0, 16.5);
  cairo_stroke(cr);
}

// The maker's name over two rows, "Cor" in orange and "vane" in grey. The
// name has a single e, drawn with lower_case_e at the right end of the
// second row; the round o of the first row sits where the first row's e
// would stand.
void draw_logotype(cairo_t *cr, GtkWidget *) {
  cairo_set_line_width(cr, LETTER_LINE_WIDTH);
  set_orange(cr);
  capital_c(cr, 20, 0);
  lower_case_o(cr, 32.5, 0);
  lower_case_r(cr, 44.5, 0);

  set_grey(cr);
  lower_case_v(cr, 9.5, SECOND_ROW_Y);
  lower_case_a(cr, 22.5, SECOND_ROW_Y);
  lower_case_n(cr, 35.5, SECOND_ROW_Y);
  lower_case_e(cr, 48, SECOND_ROW_Y);
}

gboolean on_draw_event(GtkWidget *logo_area, GdkEventExpose *, gpointer) {
  GtkWidget *dialog = gtk_widget_get_toplevel(logo_area);
  const double s = about_logo_scale(dialog->allocation.width, dialog->allocation.height);
  cairo_t *cr = gdk_cairo_create(logo_area->window);
  cairo_translate(cr, s, 0);
  cairo_scale(cr, s, s);
  cairo_save(cr);
  do_drawing(cr, logo_area);
  cairo_restore(cr);
  draw_logotype(cr, logo_area);
  cairo_destroy(cr);
  return FALSE;
}

GtkWidget *about_dialog_new(GtkWidget *parent) {
  GtkWidget *logo_area = gtk_drawing_area_new();
  gtk_widget_set_size_request(logo_area, 200, 85);
  GtkWidget *dialog = gtk_dialog_new_with_buttons(
      "About Velorin", GTK_WINDOW(parent),
      (GtkDialogFlags)(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), GTK_STOCK_OK,
      GTK_RESPONSE_OK, NULL);
  gtk_window_set_default_size(GTK_WINDOW(dialog), 200, 200);
  g_autofree char *text = g_strdup_printf("Velorin %s", VELORIN_VERSION);
  GtkWidget *label = gtk_label_new(text);
  GtkWidget *content = GTK_DIALOG(dialog)->vbox;
  gtk_box_pack_start(GTK_BOX(content), logo_area, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(content), label, FALSE, FALSE, 0);
  g_signal_connect(logo_area, "expose_event", G_CALLBACK(on_draw_event), NULL);
  gtk_widget_show_all(dialog);
  return dialog;
}

void help_about_dialog(GtkWidget *, gpointer window) {
  if (drawing_area != NULL && drawing_area->window != NULL)
    gdk_window_set_cursor(drawing_area->window, NULL);
  GtkWidget *dialog = about_dialog_new(GTK_WIDGET(window));
  gtk_dialog_run(GTK_DIALOG(dialog));
  if (drawing_area != NULL && drawing_area->window != NULL)
    gdk_window_set_cursor(drawing_area->window, blank_cursor);
  gtk_widget_destroy(dialog);
}
