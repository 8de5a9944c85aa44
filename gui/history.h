// Stroke history with undo and redo.
//
// Every stroke is one heap block of doubles (g_new / g_renew / g_free),
// owned by its node in the GList `history` (oldest first). `current` is the
// node of the last stroke applied to the layer, or NULL when none is (empty
// history or everything undone); the nodes after it are the redo tail.
//
// Record layout: STROKE_HEADER_SLOTS header slots, then the points as
// (x, y) pairs in snapped image coordinates, the start point first.
#pragma once

#include <gtk/gtk.h>

enum stroke_slot {
  SLOT_KIND = 0,    // `his_type` at the press; always 0, a brush stroke
  SLOT_RADIUS = 1,  // brush radius, image pixels
  SLOT_ZOOM = 2,    // `scale` at the press; replay uses the zoom of the replay
  SLOT_RED = 3,     // brush colour, each 0..1
  SLOT_GREEN = 4,
  SLOT_BLUE = 5,
  SLOT_ALPHA = 6,  // 0 marks the eraser
  SLOT_LENGTH = 7  // slots in use (header + 2 per point), as a double
};

// Cuts the redo tail (releasing its records; everything when no stroke is
// applied), appends a new record for the current brush and zoom and makes
// it `current`. Sets `stroke_idx` to the header size.
void manage_glist_mbutton_press(void);

// Appends the point (x, y), image coordinates, to `current`'s record,
// growing it by one point. Without a current record (a caller's mistake) it
// only warns.
void append_stroke_point(double x, double y);

// Releases every record and the list; `history` and `current` become NULL
// and any stroke being drawn ends. Used by an open and at shutdown.
void release_history(void);

// Edit menu handlers (Ctrl+Z, Ctrl+Y); they ignore their arguments. Both end
// a stroke still being drawn, so that its later points cannot land in
// another record.
void undo(GtkWidget *widget, gpointer data);
void redo(GtkWidget *widget, gpointer data);

// Resets the layer to `initialisinglayer` (or clears it), rebuilds the view
// from the picture on show and queues a redraw of the whole drawing area.
void clear_drawing(void);

// Paints one record into the layer (image pixels) and the view (at the
// current `scale`) and queues a redraw of the drawing area where it landed.
void paint_stroke_array(const double *record);
