#include "calc/picture_memory.h"

#include "engine/solve_guard.h"

static const double kLeastBytesPerPicturePixel = 3;
static const double kLeastCalculationBytesPerPixel = 3 + 16 + 8 + 1;

double decoded_picture_bytes(int width, int height) {
  return kLeastBytesPerPicturePixel * width * height;
}

double calculation_bytes(double pixels) { return kLeastCalculationBytesPerPixel * pixels; }

bool memory_allows(double bytes, uint64_t memory_limit, failure_details *details) {
  solve_settings settings;
  settings.memory_limit = memory_limit;
  solve_outcome outcome;
  const bool fits = factorisationFits(&settings, bytes, &outcome);
  *details = failure_details{};
  details->needed_bytes = outcome.needed_bytes;
  details->available_bytes = outcome.available_bytes;
  return fits;
}
