#include "sound/synth_voices.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.28318531f;
constexpr float kDt = 1.0f / kSampleRate;

// Number of samples from start that fit into the buffer, at most `length`.
long Span(const Stereo& out, long start, long length)
{
    long size = long(out.left.size());
    if (start >= size) return 0;
    return std::min(length, size - start);
}

}  // namespace

void AddKick(Stereo& out, long start, float gain)
{
    long n = Span(out, start, long(0.5f * kSampleRate));
    float phase = 0.25f;  // start at the crest: full level at once
    uint32_t noise = 0x1234567u;
    Svf click;
    SetSvf(click, 3500, 0.8f);
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float hz = 46.0f + 115.0f * std::exp(-t / 0.032f) + 40.0f * std::exp(-t / 0.004f);
        phase += hz * kDt;
        float body = std::sin(kTwoPi * phase) * std::exp(-t / 0.30f) * std::min(1.0f, (0.5f - t) / 0.05f);
        float c = RunSvf(click, NoiseSample(noise)).band * std::exp(-t / 0.0025f) * 0.9f;
        float s = std::tanh(1.6f * (body + c)) * gain;
        out.left[start + i] += s;
        out.right[start + i] += s;
    }
}

void AddBoom(Stereo& out, long start, float gain)
{
    long n = Span(out, start, long(2.5f * kSampleRate));
    float phase = 0.25f;
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float hz = 34.0f + 90.0f * std::exp(-t / 0.06f);
        phase += hz * kDt;
        float s = std::tanh(2.0f * std::sin(kTwoPi * phase) * std::exp(-t / 0.9f)) * gain * std::min(1.0f, (2.5f - t) / 0.3f);
        out.left[start + i] += s;
        out.right[start + i] += s;
    }
}

void AddSnare(Stereo& out, long start, float gain, uint32_t seed)
{
    long n = Span(out, start, long(0.45f * kSampleRate));
    uint32_t noise = seed | 1u;
    Svf bright, body;
    SetSvf(bright, 5200, 0.7f);
    SetSvf(body, 1800, 0.6f);
    float p1 = 0, p2 = 0;
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float pitch = 1.0f + 0.5f * std::exp(-t / 0.01f);
        p1 += 190.0f * pitch * kDt;
        p2 += 330.0f * pitch * kDt;
        float tone = (std::sin(kTwoPi * p1) * 0.8f + std::sin(kTwoPi * p2) * 0.35f) * std::exp(-t / 0.05f);
        float w = NoiseSample(noise);
        float hiss = (RunSvf(bright, w).high * 0.7f + RunSvf(body, w).band * 0.8f) * std::exp(-t / 0.12f);
        float s = (tone * 0.9f + hiss) * gain * std::min(1.0f, (0.45f - t) / 0.05f);
        out.left[start + i] += s;
        out.right[start + i] += s;
    }
}

void AddHat(Stereo& out, long start, float gain, float decay, float pan, uint32_t seed)
{
    long n = Span(out, start, long(std::min(1.5f, decay * 6.0f) * kSampleRate));
    uint32_t noise = seed | 1u;
    Svf hp;
    SetSvf(hp, 7500, 0.9f);
    static const float ratios[6] = {2.0f, 3.0f, 4.16f, 5.43f, 6.79f, 8.21f};
    float phases[6] = {0, 0.3f, 0.6f, 0.1f, 0.5f, 0.8f};
    float l, r;
    PanGains(pan, l, r);
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float metal = 0;
        for (int k = 0; k < 6; ++k) {
            phases[k] += 205.0f * ratios[k] * kDt;
            phases[k] -= std::floor(phases[k]);
            metal += phases[k] < 0.5f ? 1.0f : -1.0f;
        }
        float x = metal * 0.12f + NoiseSample(noise) * 0.8f;
        float s = RunSvf(hp, x).high * std::exp(-t / decay) * gain * std::min(1.0f, t / 0.0005f);
        out.left[start + i] += s * l;
        out.right[start + i] += s * r;
    }
}

void AddCrash(Stereo& out, long start, float gain, uint32_t seed)
{
    long n = Span(out, start, long(3.0f * kSampleRate));
    uint32_t nl = seed | 1u, nr = (seed * 7919u) | 1u;
    Svf hl, hr;
    SetSvf(hl, 5000, 0.7f);
    SetSvf(hr, 5400, 0.7f);
    float phase[4] = {0, 0.25f, 0.5f, 0.75f};
    const float hz[4] = {523.0f, 789.0f, 1177.0f, 1601.0f};
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float metal = 0;
        for (int k = 0; k < 4; ++k) {
            phase[k] += hz[k] * kDt;
            phase[k] -= std::floor(phase[k]);
            metal += phase[k] < 0.5f ? 0.25f : -0.25f;
        }
        float env = (0.35f * std::exp(-t / 0.08f) + 0.65f * std::exp(-t / 0.9f)) * gain * std::min(1.0f, (3.0f - t) / 0.4f);
        out.left[start + i] += RunSvf(hl, NoiseSample(nl) + metal * 0.3f).high * env;
        out.right[start + i] += RunSvf(hr, NoiseSample(nr) + metal * 0.3f).high * env;
    }
}

void AddTom(Stereo& out, long start, float gain, float hz, float pan)
{
    long n = Span(out, start, long(0.7f * kSampleRate));
    float phase = 0.25f, l, r;
    PanGains(pan, l, r);
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        phase += hz * (1.0f + 0.6f * std::exp(-t / 0.03f)) * kDt;
        float s = std::tanh(1.5f * std::sin(kTwoPi * phase) * std::exp(-t / 0.22f)) * gain * std::min(1.0f, (0.7f - t) / 0.1f);
        out.left[start + i] += s * l;
        out.right[start + i] += s * r;
    }
}

void AddRiser(Stereo& out, long start, long length, float gain, uint32_t seed)
{
    long n = Span(out, start, length);
    uint32_t nl = seed | 1u, nr = (seed * 31u) | 1u;
    Svf fl, fr;
    for (long i = 0; i < n; ++i) {
        float x = float(i) / float(length);
        if (i % 32 == 0) {
            float cutoff = 200.0f * std::pow(40.0f, x);
            SetSvf(fl, cutoff, 2.5f);
            SetSvf(fr, cutoff * 1.07f, 2.5f);
        }
        float env = x * x * x * gain * std::min(1.0f, float(length - i) / (0.01f * kSampleRate));
        out.left[start + i] += RunSvf(fl, NoiseSample(nl)).band * env;
        out.right[start + i] += RunSvf(fr, NoiseSample(nr)).band * env;
    }
}

void AddPad(Stereo& out, const PadNote& pad)
{
    long release = long(pad.release * kSampleRate);
    long n = Span(out, pad.start, pad.length + release);
    if (n <= 0) return;
    struct Osc {
        float phase, dt, l, r;
    };
    std::vector<Osc> oscs;
    const float detune[3] = {-0.11f, 0.0f, 0.12f};
    const float spread[3] = {-0.8f, 0.0f, 0.8f};
    for (size_t v = 0; v < pad.notes.size(); ++v) {
        for (int d = 0; d < 3; ++d) {
            Osc o;
            o.phase = float((v * 3 + d) % 7) / 7.0f;  // fixed start phases: same bytes every run
            o.dt = NoteHz(float(pad.notes[v]) + detune[d]) * kDt;
            PanGains(spread[d] * (v % 2 ? -1.0f : 1.0f), o.l, o.r);
            oscs.push_back(o);
        }
    }
    Svf fl, fr;
    float norm = 1.0f / std::sqrt(float(oscs.size()));
    for (long i = 0; i < n; ++i) {
        if (i % 64 == 0) {
            float x = std::min(1.0f, float(i) / float(std::max(1L, pad.length)));
            float cutoff = pad.cutoffStart * std::pow(pad.cutoffEnd / pad.cutoffStart, x);
            SetSvf(fl, cutoff, 0.9f);
            SetSvf(fr, cutoff, 0.9f);
        }
        float t = i * kDt;
        float env = std::min(1.0f, t / pad.attack);
        if (i > pad.length) env *= std::exp(-float(i - pad.length) / (0.3f * release));
        env *= std::min(1.0f, float(n - i) / (0.05f * kSampleRate));
        float l = 0, r = 0;
        for (Osc& o : oscs) {
            o.phase += o.dt;
            o.phase -= std::floor(o.phase);
            float s = SawSample(o.phase, o.dt);
            l += s * o.l;
            r += s * o.r;
        }
        out.left[pad.start + i] += RunSvf(fl, l * norm).low * env * pad.gain;
        out.right[pad.start + i] += RunSvf(fr, r * norm).low * env * pad.gain;
    }
}

void AddPluck(Stereo& out, long start, int note, float gain, float brightness, float pan)
{
    long n = Span(out, start, long(0.6f * kSampleRate));
    float dt = NoteHz(float(note)) * kDt, phase = 0, l, r;
    PanGains(pan, l, r);
    Svf f;
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        if (i % 32 == 0) SetSvf(f, 300.0f + (600.0f + 5000.0f * brightness) * std::exp(-t / 0.07f), 1.4f);
        phase += dt;
        phase -= std::floor(phase);
        float square = phase < 0.5f ? 0.6f : -0.6f;
        float x = SawSample(phase, dt) * 0.6f + square * 0.4f;
        float s = RunSvf(f, x).low * std::exp(-t / 0.18f) * gain * std::min(1.0f, t / 0.001f) *
                  std::min(1.0f, (0.6f * kSampleRate - i) / (0.05f * kSampleRate));
        out.left[start + i] += s * l;
        out.right[start + i] += s * r;
    }
}

void AddBass(Stereo& out, long start, long length, int note, float gain, float cutoff)
{
    long tail = long(0.02f * kSampleRate);
    long n = Span(out, start, length + tail);
    float dt = NoteHz(float(note)) * kDt, phase = 0, sub = 0;
    Svf f;
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        if (i % 32 == 0) SetSvf(f, cutoff * (1.0f + 2.5f * std::exp(-t / 0.06f)), 1.8f);
        phase += dt;
        phase -= std::floor(phase);
        sub += dt * 0.5f;
        sub -= std::floor(sub);
        float x = SawSample(phase, dt) * 0.7f;
        float env = std::min(1.0f, t / 0.002f) * (0.75f + 0.25f * std::exp(-t / 0.1f));
        if (i > length) env *= 1.0f - float(i - length) / float(tail);
        float s = (RunSvf(f, x).low + 0.55f * std::sin(kTwoPi * sub)) * env * gain;
        s = std::tanh(1.4f * s);
        out.left[start + i] += s;
        out.right[start + i] += s;
    }
}

void AddLead(Stereo& out, long start, long length, int note, int glideFrom, float gain)
{
    long tail = long(0.12f * kSampleRate);
    long n = Span(out, start, length + tail);
    float p1 = 0, p2 = 0.37f, vib = 0;
    Svf fl, fr;
    SetSvf(fl, 3200, 1.1f);
    SetSvf(fr, 3000, 1.1f);
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float pitch = float(note);
        if (glideFrom >= 0) pitch = float(note) + float(glideFrom - note) * std::exp(-t / 0.025f);
        vib += 5.5f * kDt;
        pitch += 0.18f * std::sin(kTwoPi * vib) * std::min(1.0f, std::max(0.0f, (t - 0.25f) / 0.3f));
        float dt1 = NoteHz(pitch + 0.06f) * kDt, dt2 = NoteHz(pitch - 0.06f) * kDt;
        p1 += dt1;
        p1 -= std::floor(p1);
        p2 += dt2;
        p2 -= std::floor(p2);
        float a = SawSample(p1, dt1) * 0.6f + (p1 < 0.42f ? 0.35f : -0.35f);
        float b = SawSample(p2, dt2) * 0.6f + (p2 < 0.58f ? 0.35f : -0.35f);
        float env = std::min(1.0f, t / 0.008f) * (0.8f + 0.2f * std::exp(-t / 0.15f));
        if (i > length) env *= std::exp(-float(i - length) / (0.25f * tail));
        out.left[start + i] += RunSvf(fl, a).low * env * gain;
        out.right[start + i] += RunSvf(fr, b).low * env * gain;
    }
}

void AddBell(Stereo& out, long start, int note, float gain, float pan)
{
    long n = Span(out, start, long(2.5f * kSampleRate));
    float hz = NoteHz(float(note)), l, r;
    PanGains(pan, l, r);
    const float ratio[4] = {1.0f, 2.0f, 3.01f, 4.2f};
    const float level[4] = {1.0f, 0.45f, 0.22f, 0.12f};
    const float decay[4] = {1.2f, 0.7f, 0.4f, 0.25f};
    float phase[4] = {0, 0, 0, 0};
    for (long i = 0; i < n; ++i) {
        float t = i * kDt;
        float s = 0;
        for (int k = 0; k < 4; ++k) {
            phase[k] += hz * ratio[k] * kDt;
            phase[k] -= std::floor(phase[k]);
            s += std::sin(kTwoPi * phase[k]) * level[k] * std::exp(-t / decay[k]);
        }
        s *= gain * std::min(1.0f, t / 0.004f) * std::min(1.0f, (2.5f - t) / 0.2f);
        out.left[start + i] += s * l;
        out.right[start + i] += s * r;
    }
}
