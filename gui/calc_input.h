// What the window hands a calculation: the region Calculate would take now,
// and the picture on show with the stroke layer over that region as engine
// input. Used by the calculation launcher and by the options dialog's
// suggestion. Main-loop thread only.
#pragma once

#include "calc/engine_input.h"
#include "gui/calc_state.h"

// The region Calculate would take now: the whole picture on show, or the
// selection clipped to it (as clip_region does) when "Calculate From
// Selection" is on. False, with w and h 0, when no pixel of the selection
// lies inside the picture. Changes nothing.
bool current_calc_region(calc_region *region);

// The picture on show and the stroke layer (alpha 255 = constraint) over
// `region` (inside the picture, at least 1 x 1) as engine input; release
// with free_engine_input.
engine_input read_calc_region(calc_region region);
