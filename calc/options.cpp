#include "calc/options.h"

#include <algorithm>
#include <cstring>

#include "engine/solve_alpha.h"

const option_range OPT_LEVELS = {1, 1, 1, "pyramid levels (down-scalings); 1 = full size only"};
const option_range OPT_ACTIVE = {1, 1, 1,
                                 "levels solved, counted from the coarsest; at most the levels"};
const option_range OPT_EPSILON = {1e-7, 1e-7, 1e-5, "regularisation: how much edges are softened"};
const option_range OPT_THRESHOLD = {0.02, 0, 0.5,
                                    "coarse matte values within this of 0 or 1 become constraints"};
const option_range OPT_WIN_SIZE = {1, 1, 5, "window radius r: windows of (2r+1) x (2r+1) pixels"};
const option_range OPT_FOREGROUND = {0, 0, 1, "estimate the foreground colours at soft edges"};

static const option_item SOLVER_ITEMS[] = {
    {"cholesky", "Cholesky (fast)"},  // SOLVER_CHOLESKY
    {"lu", "LU (reference)"},         // SOLVER_LU
};
const option_choice OPT_SOLVER = {SOLVER_CHOLESKY, SOLVER_ITEMS, 2,
                                  "the sparse solver: cholesky (fast) or lu (the reference)"};

int option_item_by_word(const option_choice *choice, const char *word) {
  for (int i = 0; i < choice->count; i++)
    if (strcmp(choice->items[i].word, word) == 0) return i;
  return -1;
}

void opts_set_default(option_args *record) {
  record->levels_num = static_cast<int32_t>(OPT_LEVELS.default_value);
  record->Active_levels_num = static_cast<int32_t>(OPT_ACTIVE.default_value);
  record->win_size = static_cast<int32_t>(OPT_WIN_SIZE.default_value);
  record->epsilon = OPT_EPSILON.default_value;
  record->threshold = OPT_THRESHOLD.default_value;
  record->estimate_foreground = static_cast<int32_t>(OPT_FOREGROUND.default_value);
  record->solver = OPT_SOLVER.default_value;
}

int max_levels_for_picture(int img_width, int img_height) {
  return std::max(1, std::min(img_width, img_height) / 10);
}
