#include "gui/window_suggestion.h"

#include "calc/engine_input.h"
#include "gui/calc_input.h"
#include "gui/globals.h"

static const char MADE_FORMAT[] =
    "Suggested for the %d x %d calculation region: %d levels, %d solved.";
static const char ONE_LEVEL_FORMAT[] =
    "Suggested for the %d x %d calculation region: 1 level; it is too small, or its strokes too "
    "thin, for a pyramid.";
static const char NO_PICTURE_NOTE[] = "Open a picture first: the suggestion depends on it.";
static const char OUTSIDE_NOTE[] =
    "The calculation region has no pixels inside the picture: nothing to suggest.";
static const char TOO_SMALL_FORMAT[] =
    "The calculation region (%d x %d) is too small for window size %d: nothing to suggest.";
static const char NO_STROKES_NOTE[] =
    "Paint a background and a foreground stroke inside the calculation region first.";

window_suggestion suggest_levels_for_window(int win_size) {
  window_suggestion s = {};
  // The options record holds no picture size until an open; before that
  // the picture on show is a 1 x 1 placeholder.
  if (pass_option_args->img_width <= 0 || pass_option_args->img_height <= 0) {
    s.outcome = SUGGESTION_NO_PICTURE;
    return s;
  }
  if (!current_calc_region(&s.region)) {
    s.outcome = SUGGESTION_REGION_OUTSIDE;
    return s;
  }
  if (region_too_small(s.region.w, s.region.h, win_size)) {
    s.outcome = SUGGESTION_REGION_TOO_SMALL;
    return s;
  }
  engine_input input = read_calc_region(s.region);
  if (constraints_usable(&input)) {
    s.outcome = SUGGESTION_MADE;
    s.levels =
        suggest_levels(&input.image, input.constraint_mask, input.constraint_values, win_size);
  } else {
    s.outcome = SUGGESTION_NO_STROKES;
  }
  free_engine_input(&input);
  return s;
}

char *window_suggestion_note(const window_suggestion *s, int win_size) {
  switch (s->outcome) {
    case SUGGESTION_MADE:
      if (s->levels.levels == 1) return g_strdup_printf(ONE_LEVEL_FORMAT, s->region.w, s->region.h);
      return g_strdup_printf(MADE_FORMAT, s->region.w, s->region.h, s->levels.levels,
                             s->levels.active);
    case SUGGESTION_NO_PICTURE:
      return g_strdup(NO_PICTURE_NOTE);
    case SUGGESTION_REGION_OUTSIDE:
      return g_strdup(OUTSIDE_NOTE);
    case SUGGESTION_REGION_TOO_SMALL:
      return g_strdup_printf(TOO_SMALL_FORMAT, s->region.w, s->region.h, win_size);
    case SUGGESTION_NO_STROKES:
      return g_strdup(NO_STROKES_NOTE);
  }
  return g_strdup("");
}
