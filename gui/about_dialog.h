// Help -> About.
#pragma once

#include <gtk/gtk.h>

void help_about_dialog(GtkWidget *widget, gpointer window);
