// Deterministic noise: integer hashes and tileable value noise, the same on every run.
#pragma once

#include <cstdint>

// A well-mixed 32-bit hash of three integers.
uint32_t Hash3(int32_t x, int32_t y, int32_t seed);
// Hash3 mapped into 0..1.
float HashUnit(int32_t x, int32_t y, int32_t seed);

// Smooth value noise in 0..1 at (x, y), repeating every periodX × periodY lattice cells.
float ValueNoise(float x, float y, int periodX, int periodY, int32_t seed);
// Sum of `octaves` value-noise layers, each twice the frequency and half the weight of
// the last, normalised to 0..1; repeats every periodX × periodY base cells.
float Fbm(float x, float y, int periodX, int periodY, int octaves, int32_t seed);

// A small deterministic generator for sequences (xorshift).
struct Rng {
    uint32_t state;
};
// Next value in 0..1.
float NextUnit(Rng& rng);
// Next value in lo..hi.
float NextRange(Rng& rng, float lo, float hi);
