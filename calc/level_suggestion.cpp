#include "calc/level_suggestion.h"

#include <algorithm>

#include "calc/c2f_driver.h"
#include "engine/pyramid.h"

// Pyramid radius of the driver's down-sampling.
static const int kDownRadius = 2;
// The coarsest level keeps at least this many pixels on its shorter side.
// Below it the level holds too little of the picture for its matte to guide
// the finer ones: on strokes over crops, rescalings and other shapes of the
// test pictures, a coarsest side of 21 to 37 pixels was up to 2.6 times worse
// than one level less, while a floor of 50 or 60 gave up levels that helped
// (a 1600 x 400 picture solved with a coarsest side of 97 instead of 47 was
// 36 times worse).
static const int kCoarsestSideFloor = 40;

// Levels whose coarsest level keeps the floor on its shorter side.
static int levels_above_floor(int width, int height) {
  int side = std::min(width, height), levels = 1;
  while (downSmpSize(side, kDownRadius) >= kCoarsestSideFloor) {
    side = downSmpSize(side, kDownRadius);
    levels++;
  }
  return levels;
}

level_suggestion suggest_levels(const TIFF_img *image, const double *const *mask,
                                const double *const *values, int win_size) {
  // Asking the driver's own limit for the floor's depth lets the region's
  // size, the windows and the strokes that survive down-sampling lower it.
  const int levels = c2f_levels_allowed(image, mask, values,
                                        levels_above_floor(image->width, image->height), win_size);
  // Every level solved: with rough strokes the deep, fully solved pyramid is
  // both the most accurate and the cheapest, since the refined constraints
  // leave only a narrow unknown band at the finer levels. With a tight
  // trimap no depth wins everywhere and the pyramid costs less memory.
  return {levels, levels};
}
