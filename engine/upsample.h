// Guided upsampling of a matte through local linear colour models.
#pragma once

#include "engine/tiff.h"

double **upSampleAlphaUsingImg(double **alpha, TIFF_img *image,
                               TIFF_img *bigImage, double epsilon, int r);
double ***getLinearCoeff(double **alpha, TIFF_img *image, double epsilon,
                         int r);
double ***upSmpArr(double ***coeff, int h, int w, int d, int H2, int W2,
                   int f);
