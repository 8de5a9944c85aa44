#include "gui/history.h"

#include "gui/brush_paint.h"
#include "gui/globals.h"

static void free_records(GList *nodes) { g_list_free_full(nodes, g_free); }

static void free_all_records(void) {
  free_records(history);
  history = NULL;
  current = NULL;
}

// Releases the nodes after `current` and their records.
static void cut_redo_tail(void) {
  if (!current) {
    free_all_records();
    return;
  }
  if (!current->next) return;
  glist_tmp = current->next;
  glist_tmp->prev = NULL;
  current->next = NULL;
  free_records(glist_tmp);
  glist_tmp = NULL;
}

static int record_points(const double *record) {
  return ((int)record[SLOT_LENGTH] - STROKE_HEADER_SLOTS) / 2;
}

static brush_style record_brush(const double *record) {
  brush_style brush = {record[SLOT_RADIUS], record[SLOT_RED], record[SLOT_GREEN], record[SLOT_BLUE],
                       record[SLOT_ALPHA] == 0.0};
  return brush;
}

// A new stroke record holding only its header, for the brush and zoom of now.
static double *new_record(void) {
  double *record = g_new(double, STROKE_HEADER_SLOTS);
  record[SLOT_KIND] = his_type;
  record[SLOT_RADIUS] = radius;
  record[SLOT_ZOOM] = scale;
  record[SLOT_RED] = red;
  record[SLOT_GREEN] = green;
  record[SLOT_BLUE] = blue;
  record[SLOT_ALPHA] = alpha;
  record[SLOT_LENGTH] = STROKE_HEADER_SLOTS;
  return record;
}

void manage_glist_mbutton_press(void) {
  stroke_idx = STROKE_HEADER_SLOTS;
  cut_redo_tail();
  history = g_list_append(history, new_record());
  current = g_list_last(history);
}

void append_stroke_point(double x, double y) {
  g_return_if_fail(current != NULL);
  stroke_idx += 2;
  double *record = g_renew(double, (double *)current->data, stroke_idx);
  current->data = record;
  record[SLOT_LENGTH] = stroke_idx;
  record[stroke_idx - 2] = x;
  record[stroke_idx - 1] = y;
}

void release_history(void) {
  free_all_records();
  finished_stroke = 1;
}

void clear_drawing(void) {
  cairo_t *cr = cairo_create(surf_layer);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  if (initialisinglayer)
    gdk_cairo_set_source_pixbuf(cr, initialisinglayer, 0, 0);
  else
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.0);
  cairo_paint(cr);
  cairo_destroy(cr);

  // The picture replaces the view's pixels rather than going over them: in
  // view mode it has translucent pixels, which would otherwise thicken with
  // every undo.
  cr = cairo_create(win_surf);
  cairo_scale(cr, scale, scale);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  gdk_cairo_set_source_pixbuf(cr, pixbuf_image, 0, 0);
  cairo_paint(cr);
  if (initialisinglayer) {
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    gdk_cairo_set_source_pixbuf(cr, initialisinglayer, 0, 0);
    cairo_paint(cr);
  }
  cairo_destroy(cr);
  gtk_widget_queue_draw(drawing_area);
}

void paint_stroke_array(const double *record) {
  const double *points = record + STROKE_HEADER_SLOTS;
  int n_points = record_points(record);
  if (n_points < 1) return;
  brush_style brush = record_brush(record);
  double box[4], extents[4];
  points_box(points, n_points, box);

  cairo_t *cr = create_brush_context(PASS_LAYER, &brush, box);
  stroke_segments(cr, points, n_points, NULL);
  cairo_destroy(cr);
  cr = create_brush_context(PASS_VIEW, &brush, box);
  stroke_segments(cr, points, n_points, extents);
  cairo_destroy(cr);
  queue_stroke_redraw(drawing_area, extents, brush.radius);
}

void undo(GtkWidget *, gpointer) {
  finished_stroke = 1;
  GList *first = history;
  clear_drawing();
  if (current) current = current->prev;
  if (!current) return;
  for (GList *node = first; node; node = node->next) {
    paint_stroke_array((const double *)node->data);
    if (node == current) break;
  }
}

void redo(GtkWidget *, gpointer) {
  finished_stroke = 1;
  if (!history || current == g_list_last(history)) return;
  GList *candidate = current ? current->next : history;
  paint_stroke_array((const double *)candidate->data);
  current = candidate;
}
