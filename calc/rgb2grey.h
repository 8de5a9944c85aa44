// Grey level of a colour, the value a layer colour stands for as alpha.
#pragma once

// (max(r, g, b) + min(r, g, b)) / 2 with integer division; each 0..255.
int rgb2grey(int red, int green, int blue);
