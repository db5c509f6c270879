// Previews: how the data set looks in the demo, drawn by a small software rasteriser
// that follows the engine's camera, projection and blending. A debugging aid only.
#pragma once

#include <string>

// Writes preview pictures into dir (each translucent texture over black, and views of
// the models as the scenes show them). False with *error when one cannot be written.
bool WritePreviews(const std::string& dir, std::string* error);
