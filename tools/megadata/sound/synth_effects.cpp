#include "sound/synth_effects.h"

#include <algorithm>
#include <cmath>
#include <deque>

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

void Master(Stereo& buffer, float drive, float ceiling)
{
    size_t n = buffer.left.size();
    if (n == 0) return;
    float top = PeakOf(buffer);
    if (top <= 0) return;
    // Scale so that the loudest sample sits `drive` times above the ceiling, then
    // limit: the gain needed at every sample, its minimum over the next 2 ms (so the
    // gain is down before a peak arrives), a 90 ms release, and a 2 ms average to
    // keep the gain changes smooth. The average only looks back over the same 2 ms,
    // so every peak stays at or below the ceiling.
    float scale = drive * ceiling / top;
    const size_t look = size_t(0.002f * kSampleRate);
    std::vector<float> need(n);
    for (size_t i = 0; i < n; ++i) {
        float a = std::max(std::fabs(buffer.left[i]), std::fabs(buffer.right[i])) * scale;
        need[i] = a > ceiling ? ceiling / a : 1.0f;
    }
    std::vector<float> gain(n);
    std::deque<size_t> window;  // indices of rising `need` values: a sliding minimum
    for (size_t i = n; i-- > 0;) {
        while (!window.empty() && need[window.back()] >= need[i]) window.pop_back();
        window.push_back(i);
        while (window.front() >= i + look) window.pop_front();
        gain[i] = need[window.front()];
    }
    const float release = 1.0f - std::exp(-1.0f / (0.09f * kSampleRate));
    for (size_t i = 1; i < n; ++i) gain[i] = std::min(gain[i], gain[i - 1] + (1.0f - gain[i - 1]) * release);
    double sum = 0;
    std::vector<float> smooth(n);
    for (size_t i = 0; i < n; ++i) {
        sum += gain[i];
        if (i >= look) sum -= gain[i - look];
        smooth[i] = float(sum / double(std::min(i + 1, look)));
    }
    for (size_t i = 0; i < n; ++i) {
        buffer.left[i] = std::clamp(buffer.left[i] * scale * smooth[i], -ceiling, ceiling);
        buffer.right[i] = std::clamp(buffer.right[i] * scale * smooth[i], -ceiling, ceiling);
    }
}
