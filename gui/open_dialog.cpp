// The "Open image" dialog: asks for a file and an open mode, then hands both
// to open_image_file.
#include "gui/calc_state.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/open_image.h"

static const int PREVIEW_SIZE = 128;
static const int MODE_BUTTON_SPACING = 5;

// The radio buttons, in the order they are shown.
static const struct {
  const char *label;
  open_mode mode;
} MODE_BUTTONS[] = {
    {"Default open", OPEN_DEFAULT},
    {"Open with alpha as input", OPEN_ALPHA_AS_INPUT},
    {"Open as layer", OPEN_AS_LAYER},
    {"Open as trimap", OPEN_AS_TRIMAP},
};
static const int N_MODE_BUTTONS = G_N_ELEMENTS(MODE_BUTTONS);

// The folder the dialog was last left in (also after a cancel); the save
// dialog keeps its own.
static char *folder = NULL;

// The mode radio buttons as the chooser's extra widget; "Default open" is
// selected whatever was chosen last time.
static void add_mode_buttons(GtkFileChooser *chooser, GtkWidget *buttons[]) {
  GtkWidget *box = gtk_hbox_new(FALSE, MODE_BUTTON_SPACING);
  GSList *group = NULL;
  for (int i = 0; i < N_MODE_BUTTONS; i++) {
    buttons[i] = gtk_radio_button_new_with_label(group, MODE_BUTTONS[i].label);
    group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(buttons[i]));
    gtk_widget_show(buttons[i]);
    gtk_box_pack_start(GTK_BOX(box), buttons[i], TRUE, FALSE, 0);
  }
  gtk_file_chooser_set_extra_widget(chooser, box);
}

static open_mode chosen_mode(GtkWidget *buttons[]) {
  for (int i = 0; i < N_MODE_BUTTONS; i++)
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(buttons[i]))) return MODE_BUTTONS[i].mode;
  return OPEN_DEFAULT;
}

static void add_filters(GtkFileChooser *chooser) {
  GtkFileFilter *images = gtk_file_filter_new();
  gtk_file_filter_set_name(images, "Image Files");
  gtk_file_filter_add_pixbuf_formats(images);
  gtk_file_chooser_add_filter(chooser, images);
  GtkFileFilter *all = gtk_file_filter_new();
  gtk_file_filter_set_name(all, "All Files *");
  gtk_file_filter_add_pattern(all, "*");
  gtk_file_chooser_add_filter(chooser, all);
}

// A failure is shown over the chooser, which is still open and modal: a
// dialog over the main window would open behind it.
static void open_chosen_file(GtkFileChooser *chooser, open_mode mode) {
  g_autofree char *filename = gtk_file_chooser_get_filename(chooser);
  g_autoptr(GError) error = NULL;
  if (!filename) {
    g_set_error(&error, G_FILE_ERROR, G_FILE_ERROR_NOENT, "no file chosen");
  } else if (open_image_file(filename, mode, &error) == 0) {
    return;
  }
  report_open_error(GTK_WIDGET(chooser), error);
}

void report_open_error(GtkWidget *parent, const GError *error) {
  g_autofree char *message = g_strdup_printf("File open error: %s", error->message);
  error_message_dialog(parent, message);
}

void update_preview_cb(GtkFileChooser *file_chooser, gpointer preview) {
  g_autofree char *name = gtk_file_chooser_get_preview_filename(file_chooser);
  g_autoptr(GdkPixbuf) picture =
      name ? gdk_pixbuf_new_from_file_at_size(name, PREVIEW_SIZE, PREVIEW_SIZE, NULL) : NULL;
  gtk_image_set_from_pixbuf(GTK_IMAGE(preview), picture);
  gtk_file_chooser_set_preview_widget_active(file_chooser, picture != NULL);
}

void on_open_image(GtkWidget *, gpointer toolbar) {
  if (refuse_while_calculating()) return;
  GtkToolItem *mode_toggle = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), TB_MODE_TOGGLE);
  GtkWidget *parent = gtk_widget_get_toplevel(GTK_WIDGET(mode_toggle));
  GtkWidget *dialog = gtk_file_chooser_dialog_new(
      "Open image", GTK_WINDOW(parent), GTK_FILE_CHOOSER_ACTION_OPEN, GTK_STOCK_OPEN,
      GTK_RESPONSE_ACCEPT, GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, NULL);
  GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
  if (folder) gtk_file_chooser_set_current_folder(chooser, folder);

  GtkWidget *preview = gtk_image_new();
  gtk_file_chooser_set_preview_widget(chooser, preview);
  g_signal_connect(chooser, "update-preview", G_CALLBACK(update_preview_cb), preview);
  GtkWidget *mode_buttons[N_MODE_BUTTONS];
  add_mode_buttons(chooser, mode_buttons);
  add_filters(chooser);

  set_drawing_area_cursor(NULL);
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT)
    open_chosen_file(chooser, chosen_mode(mode_buttons));

  g_free(folder);
  folder = gtk_file_chooser_get_current_folder(chooser);
  // The brush outline replaces the pointer only in edit mode; view mode
  // needs the arrow to drag a selection.
  set_drawing_area_cursor(in_edit_mode ? blank_cursor : NULL);
  gtk_widget_destroy(dialog);
}
