// Saving the picture on show or the stroke layer as PNG.
//
// The dialog (on_save_as) only asks; save_dialog_answer applies an answer,
// so tests drive it without running a dialog. Every file written is the
// chosen name with its extension replaced by ".png". Main-loop thread only.
#pragma once

#include <gtk/gtk.h>

// The response of the extra "Save image" button offered in edit mode.
enum { SAVE_RESPONSE_IMAGE = 2 };

// Status bar context of the save-error message.
enum { SAVE_STATUS_CONTEXT = 1 };

void on_save_as(GtkWidget *widget, gpointer window);

// Builds the "Save File" dialog for the current mode (transient for the top
// level of window): the "Save image" button in edit mode, the remembered
// folder and name, overwrite confirmation, the PNG and All filters. The
// caller runs and destroys it.
GtkWidget *create_save_dialog(GtkWidget *window);

// Applies the dialog's answer. response: GTK_RESPONSE_ACCEPT (view mode: the
// picture on show; edit mode: the stroke layer), SAVE_RESPONSE_IMAGE (the
// picture on show), anything else saves nothing. file_name is the chosen
// file (may be NULL when nothing was saved); dialog_folder the folder the
// dialog showed (remembered whatever the response; may be NULL).
void save_dialog_answer(int response, const char *file_name, const char *dialog_folder);

// The remembered name the next dialog suggests in the current mode (the last
// picture name in view mode, the last layer name in edit mode), without its
// extension; NULL before the first save of that kind.
const char *save_suggested_name(void);

// The folder the last save dialog showed; NULL before the first dialog.
const char *save_remembered_folder(void);

// Cuts name at its last '.' in place. Only a dot in the file's own name
// counts (not one in a folder name); a name without one is left alone.
void strip_file_extension(char *name);

// Writes pixbuf as PNG to name with its extension replaced by ".png"; name is
// modified in place (extension removed). On failure shows "File open error:
// %s" on the status bar (context SAVE_STATUS_CONTEXT) and returns FALSE.
gboolean save_pixbuf_to_file(char *name, GdkPixbuf *pixbuf);

// Writes surf_layer (ARGB32, so unpainted pixels stay transparent) as PNG in
// the same way, with the same status bar message on failure.
gboolean save_surface_to_file(char *name);
