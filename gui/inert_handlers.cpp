// Handlers whose features are not built yet: connected so the window is
// complete, doing nothing until their module replaces them. Each module
// removes its entries here when it lands.
#include "calc/gtk_calc.h"
#include "gui/about_dialog.h"
#include "gui/canvas.h"
#include "gui/clipboard.h"
#include "gui/persistence.h"
#include "gui/pointer_events.h"
#include "gui/region.h"
#include "gui/save.h"

// canvas
gboolean on_expose_event(GtkWidget *, GdkEventExpose *, gpointer) { return FALSE; }
gboolean configure_event(GtkWidget *, GdkEventConfigure *, gpointer) { return FALSE; }
void cb_draw_zoom(GtkAdjustment *, gpointer) {}
void cb_zoom_to(GtkWidget *, gpointer) {}
void cb_set_brush_size(GtkAdjustment *, gpointer) {}
// pointer events
gboolean button_press_event(GtkWidget *, GdkEventButton *, gpointer) { return TRUE; }
gboolean motion_notify_event(GtkWidget *, GdkEventMotion *, gpointer) { return TRUE; }
// region and modes
void cb_toggle_mode(GtkWidget *, gpointer) {}
void cb_draw_alpha(GtkWidget *, gpointer) {}
void toggle_calc_ROI(GtkWidget *, gpointer) {}
// persistence and about
void set_configuration(GtkWidget *) {}
gboolean cb_delete_event_with_persistence(GtkWidget *, GdkEvent *, gpointer) { return FALSE; }
void pre_quit_event(GtkWidget *) {}
void help_about_dialog(GtkWidget *, gpointer) {}
