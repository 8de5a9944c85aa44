// Calculation launch on a worker thread, progress and completion.
#pragma once

#include <gtk/gtk.h>

#include "engine/tiff.h"

struct calc_args {
  TIFF_img *image;
  TIFF_img *result;
  double **constraint_mask;
  double **constraint_values;
  int32_t levels_num;
  int32_t Active_levels_num;
  double epsilon;
  double threshold;
  int32_t win_size;
  int32_t status;
  guint timeout_id;
  GtkWidget *progress_bar;
  GtkToolItem *mode_button;
};

void cb_calc(GtkWidget *button, gpointer toolbar);
