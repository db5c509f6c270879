// The soundtrack: an arrangement in D minor at 80 beats per minute (one bar = 3,000 ms,
// downbeats at 38 + 3,000·k ms) that follows the demo's scenes, rendered to stereo.
#pragma once

#include <vector>

#include "sound/synth_dsp.h"

// Length of the soundtrack: 96 s.
inline constexpr double kSongMs = 96000.0;

// Moments (ms) the picture relies on: the downbeats with kick hits that the demo's beat
// windows open on, in order.
const std::vector<double>& BeatWindowHitsMs();

// Renders the whole soundtrack at 44.1 kHz, peak at -2.5 dBFS, silent from 94 s on.
Stereo RenderSoundtrack();
