// Pointer events as the drawing area receives them, sent straight to its
// handlers: for programs that drive the window without a pointer device (the
// window tests and the undo benchmark), which paint through the same path as
// the user. Header-only; the application itself never includes it.
#pragma once

#include <gtk/gtk.h>

#include "gui/globals.h"
#include "gui/pointer_events.h"

// A press of `button` at window (x, y), with the modifiers in `state`.
inline void send_press(double x, double y, guint state = 0, guint button = 1) {
  GdkEventButton event = {};
  event.type = GDK_BUTTON_PRESS;
  event.window = drawing_area->window;
  event.x = x;
  event.y = y;
  event.state = state;
  event.button = button;
  button_press_event(drawing_area, &event, NULL);
}

// A motion to window (x, y); `state` holds the buttons held.
inline void send_motion(double x, double y, guint state = GDK_BUTTON1_MASK,
                        gboolean is_hint = FALSE) {
  GdkEventMotion event = {};
  event.type = GDK_MOTION_NOTIFY;
  event.window = drawing_area->window;
  event.x = x;
  event.y = y;
  event.state = state;
  event.is_hint = is_hint;
  motion_notify_event(drawing_area, &event, NULL);
}
