#include "calc/rgb2grey.h"

#include <algorithm>

int rgb2grey(int red, int green, int blue) {
  const int hi = std::max(red, std::max(green, blue));
  const int lo = std::min(red, std::min(green, blue));
  return (hi + lo) / 2;
}
