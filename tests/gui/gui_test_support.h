// Helpers for GUI tests: build the real main window, reach its toolbar and
// menu items, and answer modal dialogs from the main loop while the code
// under test runs them.
#pragma once

#include <gtk/gtk.h>

// Builds the whole main window as the program does (icons from the source
// tree) and waits until it is on screen. Returns `main_window`.
GtkWidget *create_test_window(void);

// Runs the main loop until no event is pending.
void flush_events(void);

// Closes `main_window` the way the user does (a delete event from inside the
// main loop, `delay_ms` after the loop starts) and runs the loop until the
// window's destroy handler leaves it; a test failure if that takes more than
// a few seconds.
void close_main_window(guint delay_ms = 200);

// Destroys `main_window` outside the main loop, as a test's tear-down does:
// the window's own destroy handler, which leaves the main loop, is blocked.
void destroy_main_window(void);

// Toolbar item `index` of the main window's toolbar.
GtkToolItem *toolbar_item(int index);

// Item `position` (0-based) of the menu bar's menu labelled `menu`, or NULL.
GtkWidget *menu_item(const char *menu, int position);

// Called on a dialog once it is shown, before it is answered.
typedef void (*dialog_inspector)(GtkDialog *dialog, gpointer data);

// Waits (polling from the main loop) for a shown dialog titled `title`,
// calls `inspect` on it if given, then answers it with `response`; a test
// failure if none appears within a few seconds.
void answer_dialog_when_shown(const char *title, gint response,
                              dialog_inspector inspect = NULL,
                              gpointer data = NULL);

// A dialog_inspector: copies the text of the dialog's label into `text`
// (a std::string).
void read_dialog_message(GtkDialog *dialog, gpointer text);

// The first shown top-level window titled `title`, or NULL.
GtkWidget *find_shown_window(const char *title);

// The cursor currently set on the drawing area's window (NULL = arrow).
GdkCursor *drawing_area_cursor(void);
