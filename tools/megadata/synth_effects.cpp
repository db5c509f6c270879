#include "synth_effects.h"

#include <algorithm>
#include <cmath>

namespace {

struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    float store = 0;
};

struct AllPass {
    std::vector<float> line;
    size_t pos = 0;
};

inline float RunComb(Comb& c, float x, float feedback, float damp)
{
    float y = c.line[c.pos];
    c.store = y * (1 - damp) + c.store * damp;
    c.line[c.pos] = x + c.store * feedback;
    if (++c.pos == c.line.size()) c.pos = 0;
    return y;
}

inline float RunAllPass(AllPass& a, float x)
{
    float b = a.line[a.pos];
    a.line[a.pos] = x + b * 0.5f;
    if (++a.pos == a.line.size()) a.pos = 0;
    return b - x;
}

// One side of the reverb over the whole signal; `spread` offsets the delay lengths so
// the two sides decorrelate.
void ReverbSide(const std::vector<float>& in, std::vector<float>& out, int spread, float feedback, float damp)
{
    static const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int passes[4] = {556, 441, 341, 225};
    Comb c[8];
    AllPass a[4];
    for (int i = 0; i < 8; ++i) c[i].line.assign(size_t(combs[i] + spread), 0.0f);
    for (int i = 0; i < 4; ++i) a[i].line.assign(size_t(passes[i] + spread), 0.0f);
    out.assign(in.size(), 0.0f);
    for (size_t n = 0; n < in.size(); ++n) {
        float x = in[n] * 0.015f;
        float s = 0;
        for (Comb& comb : c) s += RunComb(comb, x, feedback, damp);
        for (AllPass& pass : a) s = RunAllPass(pass, s);
        out[n] = s;
    }
}

}  // namespace

Stereo Reverb(const Stereo& send, float size, float damping)
{
    Stereo wet;
    float feedback = 0.7f + 0.28f * size;
    float damp = 0.4f * damping;
    ReverbSide(send.left, wet.left, 0, feedback, damp);
    ReverbSide(send.right, wet.right, 23, feedback, damp);
    return wet;
}

Stereo PingPongDelay(const Stereo& send, long delay, float feedback)
{
    size_t n = send.left.size();
    Stereo wet = MakeStereo(long(n));
    std::vector<float> lineL(size_t(delay), 0.0f), lineR(size_t(delay), 0.0f);
    float toneL = 0, toneR = 0;
    size_t pos = 0;
    for (size_t i = 0; i < n; ++i) {
        float outL = lineL[pos], outR = lineR[pos];
        wet.left[i] = outL;
        wet.right[i] = outR;
        // Each side feeds the other; a one-pole low-pass darkens the repeats.
        toneL += 0.35f * (outR - toneL);
        toneR += 0.35f * (outL - toneR);
        lineL[pos] = (send.left[i] + send.right[i]) * 0.5f + toneL * feedback;
        lineR[pos] = toneR * feedback;
        if (++pos == size_t(delay)) pos = 0;
    }
    return wet;
}

void Sidechain(Stereo& buffer, const std::vector<long>& triggers, float depth, float recovery)
{
    size_t n = buffer.left.size();
    std::vector<long> sorted = triggers;
    std::sort(sorted.begin(), sorted.end());
    size_t next = 0;
    long last = -1000000000L;
    const long attack = long(0.003f * kSampleRate);
    for (size_t i = 0; i < n; ++i) {
        while (next < sorted.size() && sorted[next] <= long(i) + attack) last = sorted[next++];
        float since = float(long(i) - last) / kSampleRate;
        float duck;
        if (since < 0) {
            duck = depth * (1.0f + since * kSampleRate / attack);   // the few samples before the hit
        } else {
            duck = depth * std::exp(-since / (recovery * 0.35f));
        }
        float g = 1.0f - std::clamp(duck, 0.0f, depth);
        buffer.left[i] *= g;
        buffer.right[i] *= g;
    }
}

float PeakOf(const Stereo& buffer)
{
    float peak = 0;
    for (float v : buffer.left) peak = std::max(peak, std::fabs(v));
    for (float v : buffer.right) peak = std::max(peak, std::fabs(v));
    return peak;
}

void Master(Stereo& buffer, float peak)
{
    // Soft knee above 0.7 of the loudest level: transients are rounded, not clipped.
    float top = PeakOf(buffer);
    if (top <= 0) return;
    float knee = 0.7f * top;
    auto shape = [knee, top](float x) {
        float a = std::fabs(x);
        if (a <= knee) return x;
        float room = top - knee;
        float y = knee + room * 0.6f * std::tanh((a - knee) / (room * 0.6f));
        return x < 0 ? -y : y;
    };
    for (float& v : buffer.left) v = shape(v);
    for (float& v : buffer.right) v = shape(v);
    float scale = peak / PeakOf(buffer);
    for (float& v : buffer.left) v *= scale;
    for (float& v : buffer.right) v *= scale;
}
