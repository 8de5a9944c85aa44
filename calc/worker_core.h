// The body of a calculation without any toolkit: what the window's worker
// thread and the command-line tool both run between reading their inputs and
// showing or writing the result.
#pragma once

#include <cstdint>

#include "calc/c2f_driver.h"
#include "calc/options.h"
#include "calc/solver_status.h"
#include "engine/tiff.h"

struct worker_outcome {
  int32_t status;           // status of the last solve (0 ok, 1 singular warning,
                            // negative: failure, SOLVE_STATUS_OVER_MEMORY or
                            // C2F_STATUS_CANCELLED; see calc/solver_status.h)
  int levels_used;          // pyramid levels actually used (c2f_levels_allowed)
  bool levels_lowered;      // levels_used < the levels_num asked for: the region
                            // is too small or its strokes too thin for more
  failure_details failure;  // for calculation_failure_message
};

// The pyramid levels a width x height region allows for opts' levels_num
// (at least 1) and window radius, by its size alone (max_pyramid_levels).
// worker_core_run may use fewer still when the strokes are too thin to
// survive down-sampling; c2f_levels_allowed gives the final number.
int worker_levels_for_region(int width, int height, const option_args *opts);

// Computes the matte of `image` (a 'c' record, h x w) under the constraint
// mask and values (h x w doubles, as engine_input makes them) with the
// driver configured by `config`, and stores it into `result` as a 'g' record
// of h x w samples 0..255 (planes from get_TIFF; the caller releases them
// with free_TIFF). A failed or cancelled run stores an all-zero result;
// after a failure for memory the outcome proposes settings (suggest_levels)
// unless those that failed are the proposal.
// Optional `colours`: when the options ask for estimate_foreground and the
// run was not cancelled, receives the estimated foreground colours of the
// region under the stored alpha (store_foreground_colours in
// calc/foreground_colours.h; the caller releases them with free_TIFF);
// otherwise it is set to an empty record (TIFF_img{}).
// Takes ownership of the inputs: releases the image's planes (the record
// itself stays the caller's), the mask and the values.
// The region must hold whole windows (see region_too_small in engine_input.h).
worker_outcome worker_core_run(TIFF_img *image, double **constraint_mask,
                               double **constraint_values, const c2f_config *config,
                               TIFF_img *result, TIFF_img *colours = nullptr);
