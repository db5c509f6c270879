#include "app/capture.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell/window.h"
#include "gfx/frame_target.h"
#include "platform/file_system.h"

namespace {

// Written by BeginCapture and CaptureFrame.
bool g_active = false;
std::string g_dir;
std::vector<int> g_times;          // still to be written, ascending
bool g_onlyListed = false;

}  // namespace

bool BeginCapture(const std::string& dir, const std::vector<int>& times)
{
    if (!PlatformMakeFolder(dir)) return false;
    g_dir = dir;
    g_times = times;
    std::sort(g_times.begin(), g_times.end());
    g_onlyListed = !times.empty();
    g_active = true;
    return true;
}

bool CaptureActive() { return g_active; }

bool WriteFramePng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    image.flags = PNG_IMAGE_FLAG_FAST;   // frames are read back by tests, never shipped
    FILE* file = PlatformOpenFile(path, "wb");
    if (!file) return false;
    const bool written = png_image_write_to_stdio(&image, file, 0, rgb.data(), width * 3, nullptr) != 0;
    // A full disk shows at the close.
    const bool closed = std::fclose(file) == 0;
    if (!(written && closed)) PlatformRemoveFile(path);
    return written && closed;
}

namespace {

void WriteCapturedFrame(RenderInterface& render, const std::string& name)
{
    std::string path = g_dir + "/" + name;
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = ReadBackFrame(render, &width, &height);
    if (!WriteFramePng(path, rgb, width, height))
        std::fprintf(stderr, "zircon-megademo: cannot write %s\n", path.c_str());
    // Every listed frame is written: the run ends as if the window had been closed.
    if (g_onlyListed && g_times.empty()) PostQuitMessage();
}

}  // namespace

void CaptureLoadingScreen(RenderInterface& render)
{
    if (g_active) WriteCapturedFrame(render, "loading.png");
}

void CaptureFrame(RenderInterface& render, int32_t demoTime)
{
    if (!g_active) return;
    if (g_onlyListed) {
        bool due = false;
        while (!g_times.empty() && demoTime >= g_times.front()) {
            g_times.erase(g_times.begin());
            due = true;
        }
        if (!due) return;
    }
    WriteCapturedFrame(render, CaptureFileName(demoTime));
}
