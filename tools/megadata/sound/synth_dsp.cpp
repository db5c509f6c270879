#include "sound/synth_dsp.h"

#include <algorithm>

Stereo MakeStereo(long frames)
{
    Stereo s;
    s.left.assign(size_t(frames), 0.0f);
    s.right.assign(size_t(frames), 0.0f);
    return s;
}

void MixInto(Stereo& dst, const Stereo& src, float gain)
{
    size_t n = std::min(dst.left.size(), src.left.size());
    for (size_t i = 0; i < n; ++i) {
        dst.left[i] += src.left[i] * gain;
        dst.right[i] += src.right[i] * gain;
    }
}

void SetSvf(Svf& f, float cutoffHz, float q)
{
    cutoffHz = std::clamp(cutoffHz, 10.0f, 0.45f * kSampleRate);
    float g = std::tan(3.14159265f * cutoffHz / kSampleRate);
    f.k = 1.0f / q;
    f.a1 = 1.0f / (1.0f + g * (g + f.k));
    f.a2 = g * f.a1;
    f.a3 = g * f.a2;
}
