#include "gui/calc_input.h"

#include "gui/globals.h"

bool current_calc_region(calc_region *region) {
  const int width = gdk_pixbuf_get_width(pixbuf_image);
  const int height = gdk_pixbuf_get_height(pixbuf_image);
  if (!calc_ROI_is_set) {
    *region = {0, 0, width, height};
    return true;
  }
  *region = {x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI};
  return clip_region(&region->x, &region->y, &region->w, &region->h, width, height);
}

engine_input read_calc_region(calc_region region) {
  raw_pixels picture =
      rgb_pixels(gdk_pixbuf_get_pixels(pixbuf_image), gdk_pixbuf_get_rowstride(pixbuf_image),
                 gdk_pixbuf_get_n_channels(pixbuf_image));
  cairo_surface_flush(surf_layer);
  raw_pixels layer = argb32_pixels(cairo_image_surface_get_data(surf_layer),
                                   cairo_image_surface_get_stride(surf_layer));
  return read_engine_input(&picture, &layer, CONSTRAINTS_LAYER, region.x, region.y, region.w,
                           region.h);
}
