// The credits model "front": a zircon crystal standing in a twisted, swelling ring,
// with two small crystals breaking out at its foot. Authored Z up, facing -Y.
#pragma once

#include "models3ds/tds_model.h"

// The sculpture as one mesh named "front", about 400 units across.
TdsMesh BuildFrontSculpture();

// The model file's scene: "front", a halo disc "back" behind it, a camera looking at
// it from the front and a light.
TdsScene FrontScene();
