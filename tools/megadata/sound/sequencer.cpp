#include "sound/sequencer.h"

#include <algorithm>
#include <cmath>

#include "sound/synth_effects.h"
#include "sound/synth_voices.h"

namespace {

// One bar is 3,000 ms and starts 38 ms after a multiple of it; a step is a sixteenth.
constexpr double kBarMs = 3000.0;
constexpr double kFirstDownbeatMs = 38.0;
constexpr double kStepMs = kBarMs / 16.0;

double StepMs(int bar, double step) { return kFirstDownbeatMs + kBarMs * bar + kStepMs * step; }
long Step(int bar, double step) { return SampleAt(StepMs(bar, step)); }
long Steps(double count) { return SampleAt(kStepMs * count); }

// The song's sections, in bars.
constexpr int kBuildBar = 6;        // 18,038 ms: groove starts with the sliced ball
constexpr int kDropBar = 10;        // 30,038 ms: first drop, twisting ball and credits
constexpr int kBreakdownBar = 18;   // 54,038 ms: breakdown under the melting shapes
constexpr int kRiseBar = 22;        // 66,038 ms: one bar of build-up
constexpr int kDrop2Bar = 23;       // 69,038 ms: second drop with the greetings
constexpr int kLastBar = 29;        // 87,038 ms: the closing bar with its two steps
constexpr int kFinalBar = 30;       // 90,038 ms: final hit, then the fade

// Chords cycle Dm, Bb, F, C from the start of every section.
struct Chord {
    std::vector<int> pad;
    int root;
    int arp[8];
};

const Chord& ChordOf(int bar)
{
    static const Chord chords[4] = {
        {{57, 60, 62, 65, 69}, 38, {62, 65, 69, 72, 74, 72, 69, 65}},
        {{58, 62, 65, 69}, 34, {62, 65, 70, 74, 77, 74, 70, 65}},
        {{57, 60, 65, 67}, 41, {60, 65, 69, 72, 77, 72, 69, 65}},
        {{55, 60, 62, 64, 67}, 36, {60, 64, 67, 72, 74, 72, 67, 64}},
    };
    static const int sectionStarts[] = {0, kBuildBar, kDropBar, kBreakdownBar, kDrop2Bar, kFinalBar};
    if (bar == kRiseBar) return chords[3];
    int start = 0;
    for (int s : sectionStarts) {
        if (bar >= s) start = s;
    }
    return chords[(bar - start) % 4];
}

// The lead melody: two four-bar phrases of (step, note, length in steps).
struct MelodyNote {
    int step, note, length;
};
const std::vector<MelodyNote>& Phrase(int which, int barInPhrase)
{
    static const std::vector<MelodyNote> a[4] = {
        {{0, 69, 3}, {3, 72, 3}, {6, 74, 6}, {12, 72, 2}, {14, 74, 2}},
        {{0, 77, 6}, {6, 76, 2}, {8, 74, 4}, {12, 72, 4}},
        {{0, 72, 3}, {3, 69, 3}, {6, 72, 2}, {8, 77, 4}, {12, 76, 4}},
        {{0, 76, 6}, {6, 74, 2}, {8, 72, 2}, {10, 74, 2}, {12, 76, 4}},
    };
    static const std::vector<MelodyNote> b[4] = {
        {{0, 81, 4}, {4, 79, 2}, {6, 77, 2}, {8, 76, 4}, {12, 74, 4}},
        {{0, 77, 6}, {6, 74, 2}, {8, 70, 4}, {12, 74, 4}},
        {{0, 72, 4}, {4, 77, 4}, {8, 81, 4}, {12, 79, 4}},
        {{0, 76, 8}, {8, 79, 4}, {12, 76, 4}},
    };
    return which == 0 ? a[barInPhrase % 4] : b[barInPhrase % 4];
}

// Instrument groups, mixed and sent to the effects separately.
struct Groups {
    Stereo kick, drums, bass, pads, leads, risers;
    std::vector<long> kickTimes;
};

void Kick(Groups& m, long at, float gain)
{
    AddKick(m.kick, at, gain);
    m.kickTimes.push_back(at);
}

void PlayLeadPhrase(Groups& m, int bar, int which, int barInPhrase, float gain, int& previous)
{
    for (const MelodyNote& n : Phrase(which, barInPhrase)) {
        AddLead(m.leads, Step(bar, n.step), Steps(n.length - 0.3), n.note, previous, gain);
        previous = n.note;
    }
}

void PlayArp(Groups& m, int bar, int stride, float gain, float brightness)
{
    const Chord& c = ChordOf(bar);
    for (int s = 0; s < 16; s += stride) {
        AddPluck(m.leads, Step(bar, s), c.arp[(s / stride) % 8], gain * (s % 4 == 0 ? 1.0f : 0.75f), brightness,
                 (s / stride) % 2 ? 0.45f : -0.45f);
    }
}

void PlayPad(Groups& m, int bar, float gain, float cutoffStart, float cutoffEnd, float attack)
{
    PadNote p;
    p.notes = ChordOf(bar).pad;
    p.start = Step(bar, 0);
    p.length = Steps(16);
    p.gain = gain;
    p.cutoffStart = cutoffStart;
    p.cutoffEnd = cutoffEnd;
    p.attack = attack;
    p.release = 0.6f;
    AddPad(m.pads, p);
}

// The full groove of the drops: kick 0, 6, 8, 11; snare 4, 12 with ghosts; sixteenth
// hats with open hats on the off-beats; rolling octave bass.
void PlayDropBar(Groups& m, int bar, uint32_t seed)
{
    for (int s : {0, 6, 8, 11}) Kick(m, Step(bar, s), s == 0 ? 1.0f : 0.85f);
    AddSnare(m.drums, Step(bar, 4), 0.5f, seed + 1);
    AddSnare(m.drums, Step(bar, 12), 0.5f, seed + 2);
    AddSnare(m.drums, Step(bar, 7), 0.1f, seed + 3);
    AddSnare(m.drums, Step(bar, 15), 0.12f, seed + 4);
    for (int s = 0; s < 16; ++s) {
        bool open = s == 2 || s == 10;
        float gain = open ? 0.16f : (s % 2 == 0 ? 0.13f : 0.07f);
        AddHat(m.drums, Step(bar, s), gain, open ? 0.22f : 0.035f, s % 2 ? 0.3f : -0.2f, seed + 10 + s);
    }
    const Chord& c = ChordOf(bar);
    for (int s = 0; s < 16; ++s) {
        int note = c.root + ((s % 4 == 2) ? 12 : 0);
        AddBass(m.bass, Step(bar, s), Steps(0.8), note, 0.34f, 650.0f + 250.0f * float(s % 4 == 2));
    }
}

void PlayIntro(Groups& m)
{
    for (int bar = 0; bar < kBuildBar; ++bar) {
        float x = float(bar) / float(kBuildBar - 1);
        PlayPad(m, bar, 0.10f + 0.22f * x, 300.0f + 900.0f * x, 500.0f + 2200.0f * x, bar == 0 ? 2.5f : 0.6f);
        if (bar >= 2) {
            // A low drone under the swell.
            PadNote drone;
            drone.notes = {26};
            drone.start = Step(bar, 0);
            drone.length = bar == kBuildBar - 1 ? SampleAt(17100 - StepMs(bar, 0)) : Steps(16);
            drone.gain = 0.3f;
            drone.cutoffStart = drone.cutoffEnd = 160.0f + 60.0f * x;
            drone.attack = 1.0f;
            drone.release = 0.5f;
            AddPad(m.pads, drone);
            const Chord& c = ChordOf(bar);
            const int bells[4] = {0, 3, 6, 10};
            for (int k = 0; k < 4; ++k) AddBell(m.leads, Step(bar, bells[k]), c.arp[(k * 3 + bar) % 8] + 12, 0.05f + 0.03f * x, k % 2 ? 0.6f : -0.6f);
        }
        if (bar >= 4) PlayArp(m, bar, 1, 0.05f + 0.05f * x, 0.1f + 0.5f * x);
    }
    // The swell into the flares: a noise riser and a snare roll speeding up.
    long riseStart = Step(4, 0);
    AddRiser(m.risers, riseStart, SampleAt(17100) - riseStart, 0.35f, 77);
    const double roll[] = {0, 2, 4, 6, 7, 8, 9, 10, 10.5};
    for (int i = 0; i < 9; ++i) AddSnare(m.drums, Step(5, roll[i]), 0.12f + 0.05f * float(i), 300u + unsigned(i));
    // The two flares of the title picture.
    for (double ms : {17100.0, 17250.0}) {
        long at = SampleAt(ms);
        Kick(m, at, 1.0f);
        AddBoom(m.kick, at, ms < 17200 ? 0.5f : 0.7f);
        AddCrash(m.drums, at, 0.3f, uint32_t(ms));
    }
    AddSnare(m.drums, SampleAt(17250), 0.5f, 991);
}

void PlayBuild(Groups& m)
{
    for (int bar = kBuildBar; bar < kDropBar; ++bar) {
        float x = float(bar - kBuildBar) / 3.0f;
        uint32_t seed = uint32_t(bar) * 97u;
        Kick(m, Step(bar, 0), 1.0f);
        Kick(m, Step(bar, 8), 0.85f);
        if (bar >= kBuildBar + 2) Kick(m, Step(bar, 10), 0.7f);
        AddCrash(m.drums, Step(bar, 0), bar == kBuildBar ? 0.2f : 0.26f, seed);
        AddSnare(m.drums, Step(bar, 4), 0.42f, seed + 1);
        if (bar < kDropBar - 1) AddSnare(m.drums, Step(bar, 12), 0.42f, seed + 2);
        for (int s = 0; s < 16; s += 2) AddHat(m.drums, Step(bar, s), s % 4 ? 0.08f : 0.12f, 0.04f, -0.2f, seed + 10 + s);
        const Chord& c = ChordOf(bar);
        for (int s = 0; s < 16; s += 2) {
            AddBass(m.bass, Step(bar, s), Steps(1.6), c.root + (s % 8 == 4 ? 12 : 0), 0.3f, 300.0f + 500.0f * x);
        }
        PlayPad(m, bar, 0.2f, 1300.0f, 1800.0f, 0.3f);
        PlayArp(m, bar, 1, 0.08f, 0.4f + 0.4f * x);
    }
    // The last beat of the build rolls into the drop.
    int last = kDropBar - 1;
    for (double s = 12; s < 16; s += 0.5) AddSnare(m.drums, Step(last, s), 0.2f + 0.05f * float(s - 12), 700u + unsigned(s * 2));
    AddRiser(m.risers, Step(last, 0), Steps(16), 0.3f, 79);
}

void PlayDrop(Groups& m, int first, int last, int& leadNote)
{
    for (int bar = first; bar < last; ++bar) {
        PlayDropBar(m, bar, uint32_t(bar) * 131u);
        AddCrash(m.drums, Step(bar, 0), 0.24f, uint32_t(bar) * 17u);
        PlayPad(m, bar, 0.13f, 1800.0f, 2200.0f, 0.05f);
        PlayArp(m, bar, 1, 0.055f, 0.55f);
        int inSection = bar - first;
        PlayLeadPhrase(m, bar, (inSection / 4) % 2, inSection % 4, 0.15f, leadNote);
    }
}

void PlayBreakdown(Groups& m)
{
    for (int bar = kBreakdownBar; bar < kRiseBar; ++bar) {
        float x = float(bar - kBreakdownBar) / 3.0f;
        PlayPad(m, bar, 0.28f, 700.0f + 1500.0f * x, 1500.0f + 2500.0f * x, bar == kBreakdownBar ? 0.05f : 0.4f);
        const Chord& c = ChordOf(bar);
        AddBass(m.bass, Step(bar, 0), Steps(15.5), c.root, 0.22f, 220.0f);
        PlayArp(m, bar, 2, 0.07f, 0.25f + 0.3f * x);
        // The melody comes back as bells, answering itself through the echo.
        for (const MelodyNote& n : Phrase(0, bar - kBreakdownBar)) {
            AddBell(m.leads, Step(bar, n.step), n.note, 0.09f, n.step % 8 ? 0.35f : -0.35f);
        }
        if (bar >= kBreakdownBar + 2) {
            for (int s = 0; s < 16; s += 2) AddHat(m.drums, Step(bar, s), 0.05f + 0.04f * x, 0.03f, 0.25f, 900u + unsigned(bar * 16 + s));
        }
    }
    // One bar of build-up: kicks on the beats, a snare roll and a riser.
    int bar = kRiseBar;
    for (int s = 0; s < 16; s += 4) Kick(m, Step(bar, s), 0.7f + 0.08f * float(s / 4));
    // The roll and the riser stop a sixteenth early: a breath of silence before the drop.
    for (double s = 0; s < 15; s += (s < 8 ? 2 : (s < 12 ? 1 : 0.5))) {
        AddSnare(m.drums, Step(bar, s), 0.1f + 0.025f * float(s), 1200u + unsigned(s * 2));
    }
    PlayPad(m, bar, 0.24f, 1200.0f, 4500.0f, 0.1f);
    PlayArp(m, bar, 1, 0.07f, 0.7f);
    AddRiser(m.risers, Step(bar, 0), Steps(15), 0.34f, 83);
    const Chord& c = ChordOf(bar);
    for (int s = 0; s < 16; s += 2) AddBass(m.bass, Step(bar, s), Steps(1.6), c.root, 0.28f, 500.0f);
}

void PlayEnding(Groups& m, int& leadNote)
{
    // The last groove bar breaks off for the two camera steps: toms on the eighth at
    // 88,913 ms and the beat at 89,288 ms, then a short swell into the final hit.
    int bar = kLastBar;
    for (int s : {0, 6, 8}) Kick(m, Step(bar, s), 0.9f);
    AddSnare(m.drums, Step(bar, 4), 0.5f, 4001);
    for (int s = 0; s < 10; ++s) AddHat(m.drums, Step(bar, s), s % 2 ? 0.07f : 0.12f, 0.035f, 0.2f, 4100u + unsigned(s));
    AddTom(m.drums, Step(bar, 10), 0.6f, 130.0f, -0.3f);
    AddTom(m.drums, Step(bar, 12), 0.7f, 92.0f, 0.3f);
    Kick(m, Step(bar, 12), 0.6f);
    PlayPad(m, bar, 0.16f, 2200.0f, 3500.0f, 0.05f);
    PlayLeadPhrase(m, bar, 1, 3, 0.15f, leadNote);
    const Chord& c = ChordOf(bar);
    for (int s = 0; s < 10; ++s) AddBass(m.bass, Step(bar, s), Steps(0.8), c.root + (s % 4 == 2 ? 12 : 0), 0.34f, 700.0f);
    AddRiser(m.risers, Step(bar, 12), Steps(4), 0.3f, 89);

    // The final hit as the white picture appears, ringing out into silence.
    long at = Step(kFinalBar, 0);
    Kick(m, at, 1.0f);
    AddBoom(m.kick, at, 0.6f);
    AddCrash(m.drums, at, 0.35f, 4242);
    PadNote last;
    last.notes = {50, 57, 62, 65, 69, 76};
    last.start = at;
    last.length = SampleAt(600);
    last.gain = 0.3f;
    last.cutoffStart = 3000.0f;
    last.cutoffEnd = 900.0f;
    last.attack = 0.01f;
    last.release = 3.0f;
    AddPad(m.pads, last);
    AddBass(m.bass, at, SampleAt(1500), 26, 0.3f, 200.0f);
}

}  // namespace

const std::vector<double>& BeatWindowHitsMs()
{
    static const std::vector<double> hits = {21038, 24038, 27038, 33038, 36038, 39038,
                                             45038, 48038, 51038, 69038, 72038, 75038};
    return hits;
}

Stereo RenderSoundtrack()
{
    const long frames = SampleAt(kSongMs);
    Groups m{MakeStereo(frames), MakeStereo(frames), MakeStereo(frames), MakeStereo(frames),
          MakeStereo(frames), MakeStereo(frames), {}};
    int leadNote = -1;
    PlayIntro(m);
    PlayBuild(m);
    PlayDrop(m, kDropBar, kBreakdownBar, leadNote);
    PlayBreakdown(m);
    leadNote = -1;
    PlayDrop(m, kDrop2Bar, kLastBar, leadNote);
    PlayEnding(m, leadNote);

    // Everything but the drums breathes with the kick.
    Sidechain(m.bass, m.kickTimes, 0.7f, 0.22f);
    Sidechain(m.pads, m.kickTimes, 0.5f, 0.3f);
    Sidechain(m.leads, m.kickTimes, 0.3f, 0.25f);

    Stereo reverbSend = MakeStereo(frames), delaySend = MakeStereo(frames);
    MixInto(reverbSend, m.drums, 0.25f);
    MixInto(reverbSend, m.pads, 0.45f);
    MixInto(reverbSend, m.leads, 0.4f);
    MixInto(reverbSend, m.risers, 0.3f);
    MixInto(delaySend, m.leads, 0.35f);
    Stereo echoes = PingPongDelay(delaySend, Steps(3), 0.42f);
    MixInto(reverbSend, echoes, 0.3f);
    Stereo room = Reverb(reverbSend, 0.8f, 0.5f);

    Stereo out = MakeStereo(frames);
    MixInto(out, m.kick, 1.0f);
    MixInto(out, m.drums, 1.0f);
    MixInto(out, m.bass, 1.0f);
    MixInto(out, m.pads, 1.0f);
    MixInto(out, m.leads, 1.0f);
    MixInto(out, m.risers, 1.0f);
    MixInto(out, echoes, 0.5f);
    MixInto(out, room, 0.9f);

    // Fade the tails out so that the music is silent from 94 s on.
    long fadeStart = SampleAt(91000), fadeEnd = SampleAt(93900);
    for (long i = fadeStart; i < frames; ++i) {
        float x = std::min(1.0f, float(i - fadeStart) / float(fadeEnd - fadeStart));
        float g = 0.5f + 0.5f * std::cos(3.14159265f * x);
        out.left[size_t(i)] *= g;
        out.right[size_t(i)] *= g;
    }
    // Peaks at -2.5 dBFS leave room for the encoder's overshoot; 4 dB of limiting.
    Master(out, 1.6f, 0.75f);
    return out;
}
