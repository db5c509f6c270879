// Building blocks of the synthesiser: stereo buffers, oscillators, filters, noise.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

inline constexpr int kSampleRate = 44100;

struct Stereo {
    std::vector<float> left, right;
};

// A silent stereo buffer of the given number of frames.
Stereo MakeStereo(long frames);
// Adds src (times gain) into dst.
void MixInto(Stereo& dst, const Stereo& src, float gain);

// The sample index of a moment given in milliseconds from the start.
inline long SampleAt(double ms) { return std::lround(ms * kSampleRate / 1000.0); }
// Frequency in hertz of a MIDI note number (69 = A4 = 440 Hz).
inline float NoteHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

// White noise in -1..1 from a 32-bit xorshift state.
inline float NoiseSample(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float(int32_t(state)) * (1.0f / 2147483648.0f);
}

// Band-limited sawtooth step (polyBLEP): phase in 0..1, dt = frequency / sample rate.
inline float SawSample(float phase, float dt)
{
    float s = 2.0f * phase - 1.0f;
    if (phase < dt) {
        float t = phase / dt;
        s -= t + t - t * t - 1.0f;
    } else if (phase > 1.0f - dt) {
        float t = (phase - 1.0f) / dt;
        s -= t * t + t + t + 1.0f;
    }
    return s;
}

// State-variable filter (trapezoidal integration): stable at any cutoff below Nyquist.
struct Svf {
    float ic1 = 0, ic2 = 0;
    float a1 = 0, a2 = 0, a3 = 0, k = 1;
};
// Sets the cutoff in hertz and the resonance (q about 0.5..10).
void SetSvf(Svf& f, float cutoffHz, float q);
struct SvfOut {
    float low, band, high;
};
// Runs one sample through the filter.
inline SvfOut RunSvf(Svf& f, float x)
{
    float v3 = x - f.ic2;
    float v1 = f.a1 * f.ic1 + f.a2 * v3;
    float v2 = f.ic2 + f.a2 * f.ic1 + f.a3 * v3;
    f.ic1 = 2 * v1 - f.ic1;
    f.ic2 = 2 * v2 - f.ic2;
    return {v2, v1, x - f.k * v1 - v2};
}

// Equal-power pan gains for pan in -1 (left) .. 1 (right).
inline void PanGains(float pan, float& left, float& right)
{
    float a = (pan + 1.0f) * 0.785398163f;
    left = std::cos(a);
    right = std::sin(a);
}
