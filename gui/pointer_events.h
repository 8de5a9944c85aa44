// Drawing-area pointer handlers: they dispatch to stroke capture in edit mode
// and to the region selection in view mode.
//
// A left press first does the bookkeeping both modes share: `finished_stroke`
// = 0; the start point (`prev_x`, `prev_y`) and its snapped picture position
// (`prev_true_x`, `prev_true_y`), or with Control held the window position of
// the last stored point; the anchor `m_button_x`, `m_button_y` and the cursor
// `cursor_x`, `cursor_y` = the event position. Then edit mode calls
// stroke_button_press, view mode selection_press. Other buttons do nothing.
//
// A motion takes the pointer position (x, y) truncated to whole window pixels
// (queried from the window for motion hints). Edit mode calls stroke_motion
// and then queues the brush cursor's old and new area; view mode drags the
// selection while button 1 is held. Both then set the cursor to (x, y) and
// show the read-out of the view pixel under it in the status bar (context 0).
#pragma once

#include <gtk/gtk.h>

gboolean button_press_event(GtkWidget *widget, GdkEventButton *event, gpointer data);
gboolean motion_notify_event(GtkWidget *widget, GdkEventMotion *event, gpointer data);
