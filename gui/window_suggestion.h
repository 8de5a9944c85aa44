// The pyramid settings the options dialog's "Suggest" button proposes for
// what the window would calculate now: the picture on show, the calculation
// region (the whole picture, or the selection clipped as Calculate clips it)
// and the stroke layer.
#pragma once

#include "calc/level_suggestion.h"
#include "gui/calc_state.h"

enum window_suggestion_outcome {
  SUGGESTION_MADE,              // `levels` holds the proposal
  SUGGESTION_NO_PICTURE,        // nothing has been opened yet
  SUGGESTION_REGION_OUTSIDE,    // the selection has no pixel on the picture
  SUGGESTION_REGION_TOO_SMALL,  // the region cannot hold one window
  SUGGESTION_NO_STROKES,        // no background or no foreground stroke in it
};

struct window_suggestion {
  window_suggestion_outcome outcome;
  level_suggestion levels;  // meaningful only with SUGGESTION_MADE
  calc_region region;       // the region it was made for (clipped)
};

// The proposal for window radius win_size (the dialog's current value).
// Reads the picture, the selection and the layer; changes nothing.
window_suggestion suggest_levels_for_window(int win_size);

// One line for the dialog: what was proposed, or why nothing was. Free with
// g_free.
char *window_suggestion_note(const window_suggestion *suggestion, int win_size);
