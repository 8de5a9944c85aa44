// Deterministic synthetic matting scenes for benchmarks: a textured
// foreground blob with a soft, wavy edge composited over a textured
// background, with its true alpha and a trimatte that leaves a band of
// unknown pixels around the edge.
#pragma once

#include "engine/tiff.h"

struct SyntheticScene {
  TIFF_img image;   // 'c' picture, height x width
  double **alpha;   // true alpha 0..1, [row][column]
  double **mask;    // 1.0 where the trimatte fixes alpha, else 0.0
  double **values;  // the fixed alpha where mask is 1.0, else 0.0
  long unknown;     // pixels left unknown by the trimatte
};

// Builds the scene; the unknown band reaches `band` pixels beyond the soft
// edge on each side. Same arguments give the same scene. Release with
// freeSyntheticScene.
SyntheticScene makeSyntheticScene(int height, int width, int band);
void freeSyntheticScene(SyntheticScene *scene);
