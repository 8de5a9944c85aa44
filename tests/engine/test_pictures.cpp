#include "test_pictures.h"

#include "engine/allocate.h"

static int planeCount(char type) { return type == 'c' ? 3 : 1; }

static unsigned char **planeOf(TIFF_img *img, int p) {
  return img->TIFF_type == 'c' ? img->color_planes[p] : img->plane;
}

TIFF_img noisePicture(int height, int width, char type, unsigned seed) {
  TIFF_img img;
  get_TIFF(&img, height, width, type);
  unsigned state = seed * 2654435761u + 1u;
  for (int p = 0; p < planeCount(type); p++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        state = state * 1664525u + 1013904223u;
        planeOf(&img, p)[y][x] = (unsigned char)(state >> 24);
      }
  return img;
}

TIFF_img flatPicture(int height, int width, unsigned char grey) {
  TIFF_img img;
  get_TIFF(&img, height, width, 'c');
  for (int p = 0; p < 3; p++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) img.color_planes[p][y][x] = grey;
  return img;
}

double **filledArray(int height, int width, double value) {
  double **a = (double **)get_img(width, height, sizeof(double));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) a[y][x] = value;
  return a;
}
