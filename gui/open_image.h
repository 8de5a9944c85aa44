// Opening pictures: the "Open image" dialog and the four open modes.
#pragma once

#include <gtk/gtk.h>

enum open_mode {
  OPEN_DEFAULT,         // the file becomes the picture; layer and history emptied
  OPEN_ALPHA_AS_INPUT,  // as OPEN_DEFAULT, but the file's alpha becomes the layer
                        // (255 white, 0 black, else unknown) and the history
                        // is kept; a file without alpha is opened as OPEN_DEFAULT
  OPEN_AS_LAYER,        // the file becomes the layer over the current picture
  OPEN_AS_TRIMAP        // the file, of the picture's size, is a trimap (alpha
                        // ignored; 0 background, 255 foreground, else unknown)
                        // that becomes the layer over the current picture:
                        // opaque black and white strokes, unknown transparent
};

// Loads `filename` with gdk-pixbuf and applies `mode` to the application
// state (pictures, `initialisinglayer`, layer, view, history, selection,
// options), then queues a redraw of the drawing area. Returns 0 on success.
// On failure returns -1, sets *error (the loader's error, or a message of
// its own when the picture is too large to hold or show, or a trimap is not
// of the picture's size) and changes nothing. The caller frees *error.
int open_image_file(const char *filename, open_mode mode, GError **error);

// Shows the "File open error: %s" dialog, the placeholder being the
// message of `error`, over the top-level window of `parent`; returns when
// it is closed. Used by the Open dialog and by a picture named on the
// command line.
void report_open_error(GtkWidget *parent, const GError *error);

// "update-preview" handler of a file chooser (also the save dialog's): shows
// the chosen file scaled into 128 x 128 in `preview` (a GtkImage), or
// nothing when it does not load.
void update_preview_cb(GtkFileChooser *file_chooser, gpointer preview);

// File > Open and the toolbar's Open button: runs the "Open image" dialog and
// opens the chosen file in the chosen mode; a load failure shows "File open
// error: %s" and changes nothing. `toolbar` is the main toolbar.
void on_open_image(GtkWidget *widget, gpointer toolbar);
