// The program's icon: the emblem's gem alone, turned so its girdle has flat sides, with a
// dark outline and facets lit from the upper left, on a clear background. Each size is
// drawn on its own, its straight edges on pixel boundaries, so 16 × 16 stays crisp.
#pragma once

#include <vector>

#include "pictures/picture_pixels.h"

// The icon at size × size pixels (8 and up); opacity 0 outside the gem.
Picture PaintAppIcon(int size);

// 8-bit straight RGBA, alpha = opacity (as icon files hold it), rounded without dither;
// fully clear pixels are black.
std::vector<unsigned char> IconPixels(const Picture& picture);
