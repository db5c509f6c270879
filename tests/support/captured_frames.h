// Frames of the real program, captured headless: one run of the demo with --capture and
// --at, and the pictures it wrote. Tests that use it run under the X server of $DISPLAY
// (one of their own: zircon_on_own_display).
#pragma once

#include <png.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

struct CapturedPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;   // rows from the top, 4 bytes a pixel as stored in the file
    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

inline bool ReadCapturedPicture(const std::string& path, CapturedPicture* picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->rgba.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture->rgba.data(), 0, nullptr) != 0;
}

// Frame n of the fixed 60 fps clock is drawn at DemoTime floor(n × 1000 / 60).
inline int32_t TimeOfFrame60(int n) { return static_cast<int32_t>(n * 1000LL / 60); }

// The file name --capture gives the frame drawn at a DemoTime.
inline std::string CapturedFrameName(int32_t demoTime)
{
    char name[32];
    std::snprintf(name, sizeof name, "t%07d.png", static_cast<int>(demoTime));
    return name;
}

// One run of the demo binary with the given extra options (for example "--fps 60
// --start 18000") capturing the frames drawn at the listed DemoTimes into a fresh folder;
// it ends a second after the last of them unless the options give --until.
// Returns the folder, or "" when the run failed (its output is in <folder>/out.txt).
inline std::string CaptureDemoFrames(const std::string& demo, const std::string& options,
                                     const std::vector<int32_t>& times, std::string* folder)
{
    char dir[] = "/tmp/zircon-frames-XXXXXX";
    if (!mkdtemp(dir)) return "";
    *folder = dir;
    std::string at;
    int32_t last = 0;
    for (int32_t t : times) {
        at += std::to_string(t) + ",";
        last = std::max(last, t);
    }
    if (!at.empty()) at.pop_back();
    // The run ends a second after the last frame it is to write (one frame later at any
    // rate of 1 fps or more), unless the options say when.
    std::string until;
    if (!times.empty() && options.find("--until") == std::string::npos) until = " --until " + std::to_string(last + 1000);
    const std::string command = demo + " " + options + until + " --capture " + *folder +
                                (at.empty() ? "" : " --at " + at) + " > " + *folder + "/out.txt 2>&1";
    return std::system(command.c_str()) == 0 ? *folder : "";
}
