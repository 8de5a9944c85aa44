// The calculation options: one record for the life of the process, edited by
// the options dialog, copied into each calculation at launch. Toolkit-free so
// the command-line front end shares the defaults and ranges.
#pragma once

#include <cstdint>

struct option_args {
  int32_t levels_num;         // pyramid levels; 1 = full size only
  int32_t Active_levels_num;  // levels solved, counted from the coarsest
  double epsilon;             // regularisation of the matting Laplacian
  double threshold;           // coarse matte -> constraint threshold
  int32_t win_size;           // window radius r
  int32_t img_width;          // size of the opened picture (0 before one)
  int32_t img_height;
  int32_t estimate_foreground;  // 1: the result carries estimated foreground
                                // colours instead of the picture's
  int32_t solver;               // a solver_choice (engine/solve_alpha.h)
};

// Sets the calculation options (the five numbers, estimate_foreground and
// the solver) to their defaults; leaves the picture size alone.
void opts_set_default(option_args *record);

// Default, valid range and meaning of each calculation option, shared by the
// options dialog and the command line.
struct option_range {
  double default_value;
  double lower;
  double upper;  // for levels_num: see max_levels_for_picture
  const char *meaning;
};

extern const option_range OPT_LEVELS;
extern const option_range OPT_ACTIVE;
extern const option_range OPT_EPSILON;
extern const option_range OPT_THRESHOLD;
extern const option_range OPT_WIN_SIZE;
extern const option_range OPT_FOREGROUND;  // 0 off, 1 on

// A calculation option that picks one of a few items; item i is the value i.
struct option_item {
  const char *word;   // the command line's value
  const char *label;  // the options dialog's text
};

struct option_choice {
  int default_value;
  const option_item *items;
  int count;
  const char *meaning;
};

extern const option_choice OPT_SOLVER;

// The item of `choice` whose word is `word`; -1 when none is.
int option_item_by_word(const option_choice *choice, const char *word);

// The upper bound of levels_num offered for a picture: min(w, h) / 10,
// at least 1.
int max_levels_for_picture(int img_width, int img_height);
