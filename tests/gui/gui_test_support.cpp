#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "calc/gtk_calc.h"
#include "gui/globals.h"
#include "gui/main_window.h"

static const guint POLL_INTERVAL_MS = 20;
static const int MAP_WAIT_STEPS = 250;
static const int DIALOG_WAIT_POLLS = 250;
static const guint CLOSE_WAIT_S = 10;

struct pending_answer {
  const char *title;
  gint response;
  dialog_inspector inspect;
  gpointer data;
  int polls_left;
};

static gboolean poll_for_dialog(gpointer user_data) {
  pending_answer *answer = static_cast<pending_answer *>(user_data);
  GtkWidget *window = find_shown_window(answer->title);
  if (window && GTK_IS_DIALOG(window)) {
    if (answer->inspect) answer->inspect(GTK_DIALOG(window), answer->data);
    gtk_dialog_response(GTK_DIALOG(window), answer->response);
  } else if (--answer->polls_left > 0) {
    return TRUE;
  } else {
    ADD_FAILURE() << "no dialog titled \"" << answer->title << "\" appeared";
  }
  delete answer;
  return FALSE;
}

static gboolean send_delete_event(gpointer) {
  GdkEvent *event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(main_window)));
  event->any.send_event = TRUE;
  gtk_main_do_event(event);
  gdk_event_free(event);
  return FALSE;
}

static gboolean give_up_waiting(gpointer fired) {
  *static_cast<bool *>(fired) = true;
  ADD_FAILURE() << "the main window did not close";
  gtk_main_quit();
  return FALSE;
}

void flush_events(void) {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

GtkWidget *create_test_window(void) {
  setenv("ICON_DIR", VELORIN_SOURCE_DIR "/assets/icons", 1);
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  set_calculate_handler(cb_calc);
  GtkWidget *window = create_main_window(1, argv);
  // Accelerators and pointer cursors need the window really mapped.
  for (int step = 0; step < MAP_WAIT_STEPS; ++step) {
    flush_events();
    GdkWindow *gdk_window = gtk_widget_get_window(window);
    if (gdk_window && gdk_window_is_viewable(gdk_window)) break;
    g_usleep(POLL_INTERVAL_MS * 1000);
  }
  return window;
}

void close_main_window(guint delay_ms) {
  g_timeout_add(delay_ms, send_delete_event, NULL);
  bool fired = false;
  guint watchdog = g_timeout_add_seconds(CLOSE_WAIT_S, give_up_waiting, &fired);
  gtk_main();
  if (!fired) g_source_remove(watchdog);
}

void destroy_main_window(void) {
  // No main loop runs here for the window's destroy handler to leave.
  g_signal_handlers_block_by_func(main_window, (gpointer)destroy, NULL);
  gtk_widget_destroy(main_window);
}

GtkToolItem *toolbar_item(int index) {
  return gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), index);
}

GtkWidget *menu_item(const char *menu, int position) {
  GtkWidget *menu_bar = NULL;
  GList *rows = gtk_container_get_children(
      GTK_CONTAINER(gtk_bin_get_child(GTK_BIN(main_window))));
  if (rows) menu_bar = GTK_WIDGET(rows->data);
  g_list_free(rows);
  if (!menu_bar || !GTK_IS_MENU_BAR(menu_bar)) return NULL;

  GtkWidget *found = NULL;
  GList *tops = gtk_container_get_children(GTK_CONTAINER(menu_bar));
  for (GList *t = tops; t && !found; t = t->next) {
    GtkWidget *label = gtk_bin_get_child(GTK_BIN(t->data));
    if (strcmp(gtk_label_get_text(GTK_LABEL(label)), menu) != 0) continue;
    GtkWidget *submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(t->data));
    GList *items = gtk_container_get_children(GTK_CONTAINER(submenu));
    GList *nth = g_list_nth(items, position);
    if (nth) found = GTK_WIDGET(nth->data);
    g_list_free(items);
  }
  g_list_free(tops);
  return found;
}

void answer_dialog_when_shown(const char *title, gint response,
                              dialog_inspector inspect, gpointer data) {
  g_timeout_add(POLL_INTERVAL_MS, poll_for_dialog,
                new pending_answer{title, response, inspect, data, DIALOG_WAIT_POLLS});
}

void read_dialog_message(GtkDialog *dialog, gpointer text) {
  GList *children = gtk_container_get_children(GTK_CONTAINER(gtk_dialog_get_content_area(dialog)));
  for (GList *c = children; c; c = c->next)
    if (GTK_IS_LABEL(c->data))
      *(std::string *)text = gtk_label_get_text(GTK_LABEL(c->data));
  g_list_free(children);
}

GtkWidget *find_shown_window(const char *title) {
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

GdkCursor *drawing_area_cursor(void) {
  return gdk_window_get_cursor(gtk_widget_get_window(drawing_area));
}
