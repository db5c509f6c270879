#include "sound/sync_reference.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "sound/sequencer.h"

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

int16_t ToPcm(float sample)
{
    return int16_t(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

bool WriteWav(const std::string& path, const Stereo& audio)
{
    const uint32_t frames = uint32_t(audio.left.size());
    const uint32_t dataBytes = frames * 4;
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    for (char c : std::string("RIFF")) bytes.push_back(uint8_t(c));
    PutLe(bytes, 36 + dataBytes, 4);
    for (char c : std::string("WAVEfmt ")) bytes.push_back(uint8_t(c));
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2);                 // PCM
    PutLe(bytes, 2, 2);                 // channels
    PutLe(bytes, kSampleRate, 4);
    PutLe(bytes, kSampleRate * 4, 4);   // bytes a second
    PutLe(bytes, 4, 2);                 // bytes a frame
    PutLe(bytes, 16, 2);                // bits a sample
    for (char c : std::string("data")) bytes.push_back(uint8_t(c));
    PutLe(bytes, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        PutLe(bytes, uint16_t(ToPcm(audio.left[i])), 2);
        PutLe(bytes, uint16_t(ToPcm(audio.right[i])), 2);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace

bool WriteSyncReference(const std::string& dir, std::string* error)
{
    const std::string wav = dir + "/soundtrack.wav", beats = dir + "/beats.txt";
    if (!WriteWav(wav, RenderSoundtrack())) {
        *error = "cannot write " + wav;
        return false;
    }
    FILE* f = std::fopen(beats.c_str(), "w");
    if (!f) {
        *error = "cannot write " + beats;
        return false;
    }
    for (double ms : BeatWindowHitsMs()) std::fprintf(f, "%.0f\n", ms);
    if (std::fclose(f) != 0) {
        *error = "cannot write " + beats;
        return false;
    }
    return true;
}
