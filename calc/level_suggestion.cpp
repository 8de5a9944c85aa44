#include "calc/level_suggestion.h"

#include <algorithm>

#include "calc/c2f_driver.h"
#include "engine/pyramid.h"

// Pyramid radius of the driver's down-sampling.
static const int kDownRadius = 2;
// The coarsest level keeps at least this many pixels on its shorter side:
// below it the level holds too little of the picture for its matte to guide
// the finer ones.
static const int kCoarsestSideFloor = 40;
// Asking for more levels than any picture allows lets the size and stroke
// limits decide.
static const int kDeepest = 64;

// Levels whose coarsest level keeps the floor on its shorter side.
static int levels_above_floor(int width, int height) {
  int side = std::min(width, height), levels = 1;
  while (downSmpSize(side, kDownRadius) >= kCoarsestSideFloor) {
    side = downSmpSize(side, kDownRadius);
    levels++;
  }
  return levels;
}

level_suggestion suggest_levels(TIFF_img *image, double **mask,
                                double **values, int win_size) {
  const int allowed =
      c2f_levels_allowed(image, mask, values, kDeepest, win_size);
  const int levels =
      std::min(allowed, levels_above_floor(image->width, image->height));
  // Every level solved: with rough strokes the deep, fully solved pyramid is
  // both the most accurate and the cheapest, since the refined constraints
  // leave only a narrow unknown band at the finer levels.
  return {levels, levels};
}
