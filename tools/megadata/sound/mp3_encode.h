// MP3 encoding with LAME: constant 192 kbit/s joint stereo with an info tag that tells
// decoders the encoder delay and padding, so a gapless decode returns exactly the
// samples that went in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/synth_dsp.h"

inline constexpr int kMp3Kbps = 192;

// The MP3 bytes of the stereo signal (44.1 kHz, samples in -1..1).
std::vector<uint8_t> EncodeMp3(const Stereo& audio);
// Writes EncodeMp3(audio) to path; false when encoding or writing fails.
bool EncodeMp3File(const std::string& path, const Stereo& audio);
