// Handlers whose features are not built yet: connected so the window is
// complete, doing nothing until their module replaces them. Each module
// removes its entries here when it lands.
#include "gui/about_dialog.h"
#include "gui/persistence.h"

// persistence and about
void set_configuration(GtkWidget *) {}
gboolean cb_delete_event_with_persistence(GtkWidget *, GdkEvent *, gpointer) { return FALSE; }
void pre_quit_event(GtkWidget *) {}
void help_about_dialog(GtkWidget *, gpointer) {}
