// Handlers whose features are not built yet: connected so the window is
// complete, doing nothing until their module replaces them. Each module
// removes its entries here when it lands.
#include "calc/gtk_calc.h"
#include "gui/about_dialog.h"
#include "gui/clipboard.h"
#include "gui/persistence.h"
#include "gui/save.h"

// files and clipboard
void on_save_as(GtkWidget *, gpointer) {}
void pixbuf_to_clipboard(GtkWidget *, gpointer) {}
// calculation
void cb_calc(GtkWidget *, gpointer) {}
