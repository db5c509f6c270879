// The fifteen textures of the data set. Each painter returns the finished picture in
// its final size; data_set.cpp writes them under their file names.
#pragma once

#include "pictures/picture_pixels.h"

// 1024 × 1024: the credits backdrop above (rows 0-479), the title picture below (512-991).
Picture PaintBackdrop();
// 1024 × 1024: rings behind the melting shapes above, behind the sliced ball below.
Picture PaintToriRadial();
// 1024 × 1024: swirls behind the twisting ball above, behind the closing lattice below.
Picture PaintVortex();

// 256 × 256 seamless studio reflections, repeated over the implicit surface.
Picture PaintEnvMap();
// 256 × 256 reflection map of the twisting ball, looked up by normal direction.
Picture PaintEnvMap2();
// 256 × 256 map wrapped round the sliced ball (longitude across, latitude down).
Picture PaintRadialMap();
// 512 × 512 translucent skin of the credits model.
Picture PaintOndTexture();

// 256 × 256 translucent vertical streaks (scrolled vertically, two layers).
Picture PaintVertNoise();
// 256 × 256 translucent horizontal scan lines (scrolled sideways, two layers).
Picture PaintLineNoise();
// 128 × 128 panel, black inside and glowing at its rim (drawn additively).
Picture PaintGrid();
// 256 × 256 near-white closing picture.
Picture PaintWhiteFlash();

// 256 × 256 translucent "loading" sign.
Picture PaintLoading();
// 1024 × 1024 translucent credits: three bands of 100 rows, shown 75 pixels high.
Picture PaintCredits();
// 256 × 256 translucent greetings.
Picture PaintGreets();
// 256 × 256 translucent round emblem for the spinning squares.
Picture PaintTorusDesign();

// Top-left 640 × 480 pixels of rows y0.. of a picture: one of the two screens a
// 1024 × 1024 background holds.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
inline constexpr int kLowerScreenRow = 512;
