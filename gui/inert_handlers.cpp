// Handlers whose features are not built yet: connected so the window is
// complete, doing nothing until their module replaces them. Each module
// removes its entries here when it lands.
#include "calc/gtk_calc.h"
#include "gui/about_dialog.h"
#include "gui/brush.h"
#include "gui/clipboard.h"
#include "gui/history.h"
#include "gui/open_image.h"
#include "gui/persistence.h"
#include "gui/save.h"

// brush
void cb_set_FG(GtkWidget *, gpointer) {}
void cb_set_BG(GtkWidget *, gpointer) {}
void cb_set_Eraser(GtkWidget *, gpointer) {}
void cb_set_Color(GtkColorButton *, gpointer) {}
void stroke_button_press(GtkWidget *, GdkEventButton *) {}
void stroke_motion(GtkWidget *, GdkEventMotion *, int, int, GdkModifierType) {}
// history
void undo(GtkWidget *, gpointer) {}
void redo(GtkWidget *, gpointer) {}
// files and clipboard
void on_open_image(GtkWidget *, gpointer) {}
void on_save_as(GtkWidget *, gpointer) {}
void pixbuf_to_clipboard(GtkWidget *, gpointer) {}
// calculation
void cb_calc(GtkWidget *, gpointer) {}
