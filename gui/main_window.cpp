#include "gui/main_window.h"

#include "calc/options.h"
#include "gui/canvas.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/icon_folder.h"
#include "gui/menus.h"
#include "gui/persistence.h"
#include "gui/pointer_events.h"
#include "gui/toolbar.h"

static const char *const WINDOW_TITLE = "Corvane";
static const int DEFAULT_WIDTH = 720;
static const int DEFAULT_HEIGHT = 480;
static const int DRAWING_AREA_WIDTH = 640;
static const int DRAWING_AREA_HEIGHT = 480;
static const guint16 COLOR_BUTTON_GREY = 0x8000;

// Motion hints: the pointer handlers ask for the position themselves, so a
// slow repaint never queues up stale motion events. No button release: the
// end of a stroke is seen by the first motion without button 1.
static const gint DRAWING_AREA_EVENTS = GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK |
                                        GDK_POINTER_MOTION_HINT_MASK | GDK_BUTTON_PRESS_MASK |
                                        GDK_LEAVE_NOTIFY_MASK;

// 1x1 placeholders until a picture is opened. Pixbuf memory starts out
// undefined, so it is cleared: handlers may read these before any open.
static void create_placeholder_images(void) {
  blank_cursor = gdk_cursor_new(GDK_BLANK_CURSOR);
  pixbuf_no_alpha = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 1, 1);
  pixbuf_alpha = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 1, 1);
  gdk_pixbuf_fill(pixbuf_no_alpha, 0);
  gdk_pixbuf_fill(pixbuf_alpha, 0);
  pixbuf_image = pixbuf_no_alpha;
  color.red = color.green = color.blue = COLOR_BUTTON_GREY;
  win_surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  surf_layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
}

static void create_records(void) {
  pass_option_args = g_new0(option_args, 1);
  opts_set_default(pass_option_args);
}

static GtkWidget *create_top_level_window(void) {
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_window_set_default_size(GTK_WINDOW(window), DEFAULT_WIDTH, DEFAULT_HEIGHT);
  gtk_window_set_title(GTK_WINDOW(window), WINDOW_TITLE);
  return window;
}

// The drawing area inside a viewport inside the scrolled window.
static GtkWidget *build_scrolled_drawing_area(void) {
  GtkWidget *scrolled = gtk_scrolled_window_new(NULL, NULL);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                 GTK_POLICY_AUTOMATIC);
  drawing_area = gtk_drawing_area_new();
  gtk_widget_set_size_request(drawing_area, DRAWING_AREA_WIDTH, DRAWING_AREA_HEIGHT);
  gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(scrolled), drawing_area);
  g_signal_connect(drawing_area, "expose_event", G_CALLBACK(on_expose_event), NULL);
  g_signal_connect(drawing_area, "configure_event", G_CALLBACK(configure_event), NULL);
  g_signal_connect(drawing_area, "motion_notify_event", G_CALLBACK(motion_notify_event), NULL);
  g_signal_connect(drawing_area, "button_press_event", G_CALLBACK(button_press_event), NULL);
  gtk_widget_set_events(drawing_area, DRAWING_AREA_EVENTS);
  return scrolled;
}

static void pack_main_widgets(GtkWidget *window, GtkWidget *menu_bar) {
  GtkWidget *vbox = gtk_vbox_new(FALSE, 0);
  gtk_container_add(GTK_CONTAINER(window), vbox);
  gtk_box_pack_start(GTK_BOX(vbox), menu_bar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(vbox), toolbar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(vbox), scrolled_window, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(vbox), status_bar, FALSE, TRUE, 0);
}

// Lets a clipboard manager keep a copied result after the program ends.
static void make_clipboard_storable(void) {
  gtk_clipboard_set_can_store(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), NULL, 0);
}

// The shown modal window that is transient for `parent`, or NULL.
static GtkWindow *modal_child_of(GtkWindow *parent) {
  GtkWindow *found = NULL;
  GList *windows = gtk_window_list_toplevels();
  for (GList *w = windows; w && !found; w = w->next) {
    GtkWindow *window = GTK_WINDOW(w->data);
    if (gtk_window_get_transient_for(window) == parent && gtk_window_get_modal(window) &&
        gtk_widget_get_visible(GTK_WIDGET(window)))
      found = window;
  }
  g_list_free(windows);
  return found;
}

// The window a new dialog over `window` must be transient for: the modal
// dialog open over it (a file chooser, the options dialog), or the one open
// over that, and so on. A dialog transient for a window under a modal
// dialog opens behind it, where it cannot be reached.
static GtkWindow *topmost_dialog_over(GtkWindow *window) {
  for (GtkWindow *child = modal_child_of(window); child; child = modal_child_of(window))
    window = child;
  return window;
}

void destroy(GtkWidget *, gpointer) { gtk_main_quit(); }

void set_drawing_area_cursor(GdkCursor *cursor) {
  if (drawing_area && gtk_widget_get_window(drawing_area))
    gdk_window_set_cursor(gtk_widget_get_window(drawing_area), cursor);
}

void update_statusbar(const char *text, guint context_id, GtkWidget *bar) {
  gtk_statusbar_pop(GTK_STATUSBAR(bar), context_id);
  gtk_statusbar_push(GTK_STATUSBAR(bar), context_id, text);
}

void error_message_dialog(GtkWidget *widget, const char *message) {
  GtkWidget *label = gtk_label_new(message);
  GtkWidget *dialog = gtk_dialog_new_with_buttons(
      "Error", topmost_dialog_over(GTK_WINDOW(gtk_widget_get_toplevel(widget))),
      GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), GTK_STOCK_OK,
      GTK_RESPONSE_NONE, NULL);
  gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), label);
  gtk_widget_show_all(dialog);
  set_drawing_area_cursor(NULL);
  gtk_dialog_run(GTK_DIALOG(dialog));
  set_drawing_area_cursor(blank_cursor);
  gtk_widget_destroy(dialog);
}

GtkWidget *create_main_window(int argc, char **argv) {
  gdk_threads_enter();
  gtk_init(&argc, &argv);
  create_placeholder_images();
  create_records();
  g_autofree char *icon_prefix = icon_dir_prefix();

  main_window = create_top_level_window();
  // The toolbar widget exists before the menus: File -> Open hands it to
  // the open handler, exactly as the toolbar's own Open button does.
  toolbar = gtk_toolbar_new();
  GtkWidget *menu_bar = build_menu_bar(main_window, toolbar);
  scrolled_window = build_scrolled_drawing_area();
  populate_toolbar(toolbar, main_window, icon_prefix);
  status_bar = gtk_statusbar_new();
  pack_main_widgets(main_window, menu_bar);

  g_signal_connect(main_window, "delete_event", G_CALLBACK(cb_delete_event_with_persistence), NULL);
  g_signal_connect(main_window, "destroy", G_CALLBACK(destroy), NULL);
  make_clipboard_storable();

  gtk_widget_show_all(main_window);
  set_configuration(main_window);
  gtk_widget_hide(GTK_WIDGET(gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), TB_ALPHA)));
  set_drawing_area_cursor(blank_cursor);
  return main_window;
}

void release_application_state(void) {
  g_object_unref(pixbuf_alpha);
  g_object_unref(pixbuf_no_alpha);
  pixbuf_alpha = pixbuf_no_alpha = pixbuf_image = NULL;
  cairo_surface_destroy(surf_layer);
  cairo_surface_destroy(win_surf);
  surf_layer = win_surf = NULL;
  if (initialisinglayer) g_object_unref(initialisinglayer);
  initialisinglayer = NULL;
  release_history();
}
