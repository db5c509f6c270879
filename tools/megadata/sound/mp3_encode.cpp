#include "sound/mp3_encode.h"

#include <lame/lame.h>

#include <cstdio>

std::vector<uint8_t> EncodeMp3(const Stereo& audio)
{
    std::vector<uint8_t> out;
    lame_global_flags* gf = lame_init();
    if (!gf) return out;
    lame_set_in_samplerate(gf, kSampleRate);
    lame_set_out_samplerate(gf, kSampleRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, kMp3Kbps);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);  // the info frame with delay and padding
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return out;
    }
    const int chunk = 8192;
    std::vector<unsigned char> buffer(size_t(1.25 * chunk + 7200));
    size_t frames = audio.left.size();
    for (size_t pos = 0; pos < frames; pos += chunk) {
        int n = int(std::min<size_t>(chunk, frames - pos));
        int bytes = lame_encode_buffer_ieee_float(gf, &audio.left[pos], &audio.right[pos], n, buffer.data(), int(buffer.size()));
        if (bytes < 0) {
            lame_close(gf);
            return {};
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + bytes);
    }
    int bytes = lame_encode_flush(gf, buffer.data(), int(buffer.size()));
    if (bytes > 0) out.insert(out.end(), buffer.begin(), buffer.begin() + bytes);
    // The first frame was left empty for the info tag; fill it in now that the totals
    // are known.
    size_t tagSize = lame_get_lametag_frame(gf, buffer.data(), buffer.size());
    if (tagSize > 0 && tagSize <= out.size()) std::copy(buffer.begin(), buffer.begin() + tagSize, out.begin());
    lame_close(gf);
    return out;
}

bool EncodeMp3File(const std::string& path, const Stereo& audio)
{
    std::vector<uint8_t> bytes = EncodeMp3(audio);
    if (bytes.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
