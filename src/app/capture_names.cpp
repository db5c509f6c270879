// What frame capture shares with the page: the names of frame files and the RGB read-back.
#include "app/capture.h"

#include <cstdio>

#include "gfx/render_interface.h"

std::string CaptureFileName(int32_t demoTime)
{
    char name[32];
    std::snprintf(name, sizeof name, "t%07d.png", static_cast<int>(demoTime));
    return name;
}

std::vector<uint8_t> ReadBackFrame(RenderInterface& render, int* width, int* height)
{
    std::vector<uint8_t> bgra;
    render.ReadFrame(&bgra, width, height);
    std::vector<uint8_t> rgb(bgra.size() / 4 * 3);
    for (size_t i = 0, o = 0; i < bgra.size(); i += 4, o += 3) {
        rgb[o] = bgra[i + 2];
        rgb[o + 1] = bgra[i + 1];
        rgb[o + 2] = bgra[i];
    }
    return rgb;
}
