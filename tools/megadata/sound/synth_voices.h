// The instruments. Each adds one note or hit into a stereo buffer at a start sample;
// everything past the buffer's end is dropped.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/synth_dsp.h"

// Kick drum: a sine swept from about 160 Hz down to 46 Hz with a click on top; it
// reaches full level within the first fraction of a millisecond.
void AddKick(Stereo& out, long start, float gain);
// A deep boom with a long tail, for the big impacts.
void AddBoom(Stereo& out, long start, float gain);
// Snare: a short pitched body and a bright noise burst.
void AddSnare(Stereo& out, long start, float gain, uint32_t seed);
// Hi-hat: metallic square cluster and high noise; decay in seconds (short = closed).
void AddHat(Stereo& out, long start, float gain, float decay, float pan, uint32_t seed);
// Crash cymbal: wide stereo noise and metal with a long decay.
void AddCrash(Stereo& out, long start, float gain, uint32_t seed);
// Tom: a pitched sine with a falling pitch.
void AddTom(Stereo& out, long start, float gain, float hz, float pan);
// Noise swell over `length` samples, filtered from dark to bright, ending at full level.
void AddRiser(Stereo& out, long start, long length, float gain, uint32_t seed);

// Pad chord: detuned sawtooths, spread in stereo, through a low-pass that moves from
// cutoffStart to cutoffEnd over the note; attack and release in seconds.
struct PadNote {
    std::vector<int> notes;
    long start = 0, length = 0;
    float gain = 0.1f;
    float cutoffStart = 800, cutoffEnd = 800;
    float attack = 0.5f, release = 1.0f;
};
void AddPad(Stereo& out, const PadNote& pad);

// Pluck: a short filtered sawtooth-square blend, for arpeggios; brightness 0..1.
void AddPluck(Stereo& out, long start, int note, float gain, float brightness, float pan);
// Bass: sawtooth and sub sine through a low-pass with an envelope, mono in the middle.
void AddBass(Stereo& out, long start, long length, int note, float gain, float cutoff);
// Lead: two detuned pulse-sawtooth oscillators with delayed vibrato, gliding from the
// previous note (glideFrom < 0: no glide).
void AddLead(Stereo& out, long start, long length, int note, int glideFrom, float gain);
// Bell: sine partials with a soft attack, for the intro sparkle.
void AddBell(Stereo& out, long start, int note, float gain, float pan);
