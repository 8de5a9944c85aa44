// Saving the picture on show or the stroke layer as PNG: the "Save File"
// dialog, the application of its answer and the two writers.
#include "gui/save.h"

#include <cairo.h>
#include <string.h>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/open_image.h"

static const char PNG_SUFFIX[] = ".png";
static const char SAVE_FAILED_FORMAT[] = "File open error: %s";

// Remembered for the life of the process; each string is owned here.
static char *folder = NULL;
static char *image_name = NULL;
static char *layer_name = NULL;

static void remember(char **slot, const char *value) {
  g_free(*slot);
  *slot = g_strdup(value);
}

// The name the file is written to: name without its extension, plus ".png".
// Strips name in place, which is how the remembered names lose their
// extension.
static char *png_file_name(char *name) {
  strip_file_extension(name);
  return g_strconcat(name, PNG_SUFFIX, NULL);
}

static void report_save_failure(const GError *error) {
  g_autofree char *message = g_strdup_printf(SAVE_FAILED_FORMAT, error->message);
  update_statusbar(message, SAVE_STATUS_CONTEXT, status_bar);
}

// cairo's PNG writer reports only a status; as a GError it is reported like
// gdk-pixbuf's failures.
static gboolean write_layer_png(const char *file_name, GError **error) {
  const cairo_status_t status = cairo_surface_write_to_png(surf_layer, file_name);
  if (status == CAIRO_STATUS_SUCCESS) return TRUE;
  g_autofree char *shown = g_filename_display_name(file_name);
  g_set_error(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, "Failed to write '%s': %s", shown,
              cairo_status_to_string(status));
  return FALSE;
}

static void add_filter(GtkWidget *dialog, const char *title, const char *pattern) {
  GtkFileFilter *filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, title);
  gtk_file_filter_add_pattern(filter, pattern);
  gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), filter);
}

static void add_preview(GtkWidget *dialog) {
  GtkWidget *preview = gtk_image_new();
  gtk_file_chooser_set_preview_widget(GTK_FILE_CHOOSER(dialog), preview);
  g_signal_connect(dialog, "update-preview", G_CALLBACK(update_preview_cb), preview);
}

// The remembered name is a full path, possibly of a file not written yet:
// show its folder and put its own name in the name field.
static void suggest_name(GtkFileChooser *chooser, const char *path) {
  g_autofree char *dir = g_path_get_dirname(path);
  g_autofree char *base = g_path_get_basename(path);
  gtk_file_chooser_set_current_folder(chooser, dir);
  gtk_file_chooser_set_current_name(chooser, base);
}

void strip_file_extension(char *name) {
  char *dot = strrchr(name, '.');
  // A dot before the last separator belongs to a folder: cutting there would
  // write the file into the wrong place.
  char *separator = strrchr(name, G_DIR_SEPARATOR);
  if (dot != NULL && (separator == NULL || dot > separator)) {
    *dot = '\0';
  }
}

gboolean save_pixbuf_to_file(char *name, GdkPixbuf *pixbuf) {
  g_autofree char *file_name = png_file_name(name);
  g_autoptr(GError) error = NULL;
  const gboolean saved = gdk_pixbuf_save(pixbuf, file_name, "png", &error, NULL);
  if (!saved) report_save_failure(error);
  return saved;
}

gboolean save_surface_to_file(char *name) {
  g_autofree char *file_name = png_file_name(name);
  g_autoptr(GError) error = NULL;
  const gboolean saved = write_layer_png(file_name, &error);
  if (!saved) report_save_failure(error);
  return saved;
}

const char *save_suggested_name(void) { return in_edit_mode ? layer_name : image_name; }

const char *save_remembered_folder(void) { return folder; }

void save_dialog_answer(int response, const char *file_name, const char *dialog_folder) {
  if (dialog_folder != NULL) {
    remember(&folder, dialog_folder);
  }
  if (file_name == NULL) {
    return;
  }
  if (response == GTK_RESPONSE_ACCEPT && in_edit_mode) {
    remember(&layer_name, file_name);
    save_surface_to_file(layer_name);
  } else if (response == GTK_RESPONSE_ACCEPT || (response == SAVE_RESPONSE_IMAGE && in_edit_mode)) {
    remember(&image_name, file_name);
    save_pixbuf_to_file(image_name, pixbuf_image);
  }
}

void on_save_as(GtkWidget *, gpointer window) {
  GtkWidget *dialog = create_save_dialog(GTK_WIDGET(window));
  set_drawing_area_cursor(NULL);
  int response = gtk_dialog_run(GTK_DIALOG(dialog));
  g_autofree char *file_name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
  g_autofree char *dialog_folder = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(dialog));
  save_dialog_answer(response, file_name, dialog_folder);
  set_drawing_area_cursor(blank_cursor);
  gtk_widget_destroy(dialog);
}

GtkWidget *create_save_dialog(GtkWidget *window) {
  GtkWidget *dialog = gtk_file_chooser_dialog_new(
      "Save File", GTK_WINDOW(gtk_widget_get_toplevel(window)), GTK_FILE_CHOOSER_ACTION_SAVE,
      GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, GTK_STOCK_SAVE, GTK_RESPONSE_ACCEPT, NULL);
  GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
  if (folder != NULL) {
    gtk_file_chooser_set_current_folder(chooser, folder);
  }
  add_preview(dialog);
  if (in_edit_mode) {
    gtk_dialog_add_button(GTK_DIALOG(dialog), "Save image", SAVE_RESPONSE_IMAGE);
    gtk_dialog_set_alternative_button_order(GTK_DIALOG(dialog), SAVE_RESPONSE_IMAGE,
                                            GTK_RESPONSE_ACCEPT, GTK_RESPONSE_CANCEL, -1);
  }
  if (save_suggested_name() != NULL) {
    suggest_name(chooser, save_suggested_name());
  }
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  add_filter(dialog, "PNG Files", "*.png");
  add_filter(dialog, "All Files", "*.*");
  return dialog;
}
