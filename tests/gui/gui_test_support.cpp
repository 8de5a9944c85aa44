#include "tests/gui/gui_test_support.h"

#include <glib/gstdio.h>

#include <cstdlib>
#include <cstring>

#include "calc/gtk_calc.h"
#include "gui/calc_state.h"
#include "gui/canvas.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/main_window.h"
#include "gui/pixel.h"

static const guint POLL_INTERVAL_MS = 20;
static const int UNANSWERED_POLL_LIMIT = 500;  // ten seconds
static const double CALCULATION_WAIT_S = 120;

std::ostream &operator<<(std::ostream &os, const rgba &p) {
  return os << "r" << p.r << " g" << p.g << " b" << p.b << " a" << p.a;
}

rgba patterned(int x, int y) {
  return rgba{(10 + 3 * x) % 256, (20 + 2 * y) % 256, 100, (x * 7 + y * 31) % 256};
}

// Builds the main window and runs the loop until it is on screen.
static void create_test_window(void) {
  setenv("ICON_DIR", VELORIN_SOURCE_DIR "/assets/icons", 1);
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  set_calculate_handler(cb_calc);
  GtkWidget *window = create_main_window(1, argv);
  // Accelerators and pointer cursors need the window really mapped.
  run_until([window] {
    GdkWindow *shown = gtk_widget_get_window(window);
    return shown && gdk_window_is_viewable(shown);
  });
}

static void note_window_gone(GtkWidget *, gpointer alive) { *static_cast<bool *>(alive) = false; }

void WindowTest::SetUp() {
  create_test_window();
  window_alive = true;
  g_signal_connect(main_window, "destroy", G_CALLBACK(note_window_gone), &window_alive);
  char *tmp = g_dir_make_tmp("velorin-gui-XXXXXX", NULL);
  ASSERT_NE(tmp, nullptr);
  dir = tmp;
  g_free(tmp);
}

void WindowTest::TearDown() {
  // A test that failed half-way must not leave the worker writing into the
  // state released below.
  run_until([] { return !calculation_running(); }, CALCULATION_WAIT_S);
  if (GDir *folder = g_dir_open(dir.c_str(), 0, NULL)) {  // plain files only
    while (const char *name = g_dir_read_name(folder)) g_remove((dir + "/" + name).c_str());
    g_dir_close(folder);
  }
  g_rmdir(dir.c_str());
  if (window_alive) {
    // No main loop runs here for the window's destroy handler to leave.
    g_signal_handlers_block_by_func(main_window, (gpointer)destroy, NULL);
    gtk_widget_destroy(main_window);
  }
  if (pixbuf_no_alpha) release_application_state();  // unless the test did
}

std::string WindowTest::write_picture(const char *name, int width, int height, bool with_alpha,
                                      const pixel_fn &colour) {
  const std::string path = dir + "/" + name;
  write_png(path, width, height, with_alpha, colour);
  return path;
}

void WindowTest::open_picture(int width, int height, const pixel_fn &colour, bool with_alpha,
                              open_mode mode) {
  std::string path = write_picture("picture.png", width, height, with_alpha, colour);
  GError *error = NULL;
  ASSERT_EQ(open_image_file(path.c_str(), mode, &error), 0);
  flush_events();
}

void flush_events(void) {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

bool run_until(const std::function<bool()> &done, double seconds) {
  const gint64 end = g_get_monotonic_time() + static_cast<gint64>(seconds * G_USEC_PER_SEC);
  while (!done() && g_get_monotonic_time() < end) {
    gtk_main_iteration_do(FALSE);
    g_usleep(1000);
  }
  return done();
}

void send_to(GtkWidget *widget, GdkEvent *event) {
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
  event->any.send_event = TRUE;
  gtk_main_do_event(event);
  gdk_event_free(event);
}

GtkToolItem *toolbar_item(int index) {
  return gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), index);
}

// The first label's text inside `widget` (the status bar, a dialog).
static std::string label_text(GtkWidget *widget) {
  if (GTK_IS_LABEL(widget)) return gtk_label_get_text(GTK_LABEL(widget));
  std::string text;
  if (!GTK_IS_CONTAINER(widget)) return text;
  GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList *c = children; c && text.empty(); c = c->next) text = label_text(GTK_WIDGET(c->data));
  g_list_free(children);
  return text;
}

GtkWidget *menu_item(const char *menu, int position) {
  GList *rows = gtk_container_get_children(GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(main_window))));
  GtkWidget *menu_bar = rows ? GTK_WIDGET(rows->data) : NULL;
  g_list_free(rows);
  if (!menu_bar || !GTK_IS_MENU_BAR(menu_bar)) return NULL;
  GtkWidget *found = NULL;
  GList *tops = gtk_container_get_children(GTK_CONTAINER(menu_bar));
  for (GList *t = tops; t && !found; t = t->next) {
    if (label_text(GTK_WIDGET(t->data)) != menu) continue;
    GtkWidget *submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(t->data));
    GList *items = gtk_container_get_children(GTK_CONTAINER(submenu));
    found = static_cast<GtkWidget *>(g_list_nth_data(items, position));
    g_list_free(items);
  }
  g_list_free(tops);
  return found;
}

static GtkWidget *find_shown_window(const char *title) {
  GtkWidget *found = NULL;
  GList *windows = gtk_window_list_toplevels();
  for (GList *w = windows; w && !found; w = w->next) {
    const char *t = gtk_window_get_title(GTK_WINDOW(w->data));
    if (t && strcmp(t, title) == 0 && gtk_widget_get_visible(GTK_WIDGET(w->data)))
      found = GTK_WIDGET(w->data);
  }
  g_list_free(windows);
  return found;
}

std::string statusbar_text(void) {
  return label_text(gtk_statusbar_get_message_area(GTK_STATUSBAR(status_bar)));
}

static GtkAdjustment *adjustment_of(int item_index) {
  GtkWidget *spin = gtk_bin_get_child(GTK_BIN(toolbar_item(item_index)));
  return gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(spin));
}

void set_zoom_percent(double percent) {
  gtk_adjustment_set_value(adjustment_of(TB_ZOOM_SPIN), percent);
}
void set_brush_size(double size) { gtk_adjustment_set_value(adjustment_of(TB_BRUSH_SPIN), size); }

void set_view_mode(bool view) {
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)), view);
  flush_events();
}

dialog_answers::dialog_answers(const char *title, gint response)
    : dialog_answers(title, [response](GtkDialog *dialog) {
        gtk_dialog_response(dialog, response);
        return true;
      }) {}

dialog_answers::dialog_answers(const char *title, step act) : title_(title), act_(act) {
  source_ = g_timeout_add(POLL_INTERVAL_MS, poll, this);
}

dialog_answers::~dialog_answers() {
  g_source_remove(source_);
  if (last_answered_) g_object_remove_weak_pointer(G_OBJECT(last_answered_), &last_answered_);
}

gboolean dialog_answers::poll(gpointer self) {
  dialog_answers *me = static_cast<dialog_answers *>(self);
  GtkWidget *shown = find_shown_window(me->title_.c_str());
  // A dialog already answered may stay on screen a moment (a file chooser
  // under the error dialog its answer brought up).
  if (!shown || !GTK_IS_DIALOG(shown) || shown == me->last_answered_) return TRUE;
  GtkDialog *dialog = GTK_DIALOG(shown);
  if (me->answered_ == 0) me->first_text_ = label_text(gtk_dialog_get_content_area(dialog));
  if (me->act_(dialog)) {
    me->answered_++;
    me->unanswered_polls_ = 0;
    if (me->last_answered_)
      g_object_remove_weak_pointer(G_OBJECT(me->last_answered_), &me->last_answered_);
    me->last_answered_ = dialog;
    g_object_add_weak_pointer(G_OBJECT(dialog), &me->last_answered_);
  } else if (++me->unanswered_polls_ > UNANSWERED_POLL_LIMIT) {
    ADD_FAILURE() << "the dialog \"" << me->title_ << "\" was not answered";
    gtk_dialog_response(dialog, GTK_RESPONSE_DELETE_EVENT);
    me->unanswered_polls_ = 0;
  }
  return TRUE;
}

void stroke(const point_list &points, guint press_state) {
  send_press(points[0].first, points[0].second, press_state);
  for (size_t i = 1; i < points.size(); i++) send_motion(points[i].first, points[i].second);
  send_motion(points.back().first, points.back().second, 0);
}

void fill_layer_rect(int x, int y, int w, int h, double r, double g, double b) {
  cairo_t *cr = cairo_create(surf_layer);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_destroy(cr);
  compose_win_surf();
}

static rgba surface_pixel(cairo_surface_t *surface, int x, int y) {
  cairo_surface_flush(surface);
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(surface, x, y, &a, &r, &g, &b);
  return rgba{r, g, b, a};
}

rgba layer_pixel(int x, int y) { return surface_pixel(surf_layer, x, y); }
rgba view_pixel(int x, int y) { return surface_pixel(win_surf, x, y); }

rgba pixbuf_pixel(GdkPixbuf *pixbuf, int x, int y) {
  guchar r = 0, g = 0, b = 0, a = 0;
  gdkpixbuf_get_pixel(pixbuf, x, y, &r, &g, &b, &a);
  return rgba{r, g, b, a};
}

std::vector<unsigned char> surface_bytes(cairo_surface_t *surface) {
  cairo_surface_flush(surface);
  const unsigned char *data = cairo_image_surface_get_data(surface);
  return std::vector<unsigned char>(data, data + (size_t)cairo_image_surface_get_stride(surface) *
                                                     cairo_image_surface_get_height(surface));
}

std::vector<unsigned char> layer_bytes(void) { return surface_bytes(surf_layer); }

std::vector<unsigned char> pixbuf_bytes(GdkPixbuf *pixbuf) {
  const guchar *data = gdk_pixbuf_get_pixels(pixbuf);
  return std::vector<unsigned char>(data, data + gdk_pixbuf_get_byte_length(pixbuf));
}

point_list record_points(const double *record) {
  point_list points;
  for (int i = STROKE_HEADER_SLOTS; i + 1 < (int)record[SLOT_LENGTH]; i += 2)
    points.push_back({record[i], record[i + 1]});
  return points;
}
