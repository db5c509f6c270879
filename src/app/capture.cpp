#include "app/capture.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "scenes/frame_stats.h"
#include "shell/window.h"
#include "gfx/render_interface.h"

namespace {

bool g_active = false;
bool g_loadingWritten = false;
std::string g_dir;
std::vector<int> g_times;          // still to be written, ascending
bool g_onlyListed = false;

}  // namespace

bool BeginCapture(const std::string& dir, const std::vector<int>& times)
{
    std::error_code error;
    std::filesystem::create_directory(dir, error);
    if (!std::filesystem::is_directory(dir, error)) return false;
    g_dir = dir;
    g_times = times;
    std::sort(g_times.begin(), g_times.end());
    g_onlyListed = !times.empty();
    g_active = true;
    g_loadingWritten = false;
    return true;
}

bool CaptureActive() { return g_active; }

void ReadBackFrameBgra(std::vector<uint8_t>* frame, int* width, int* height)
{
    Renderer->ReadFrame(frame, width, height);
}

bool WriteFramePng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr) != 0;
}

void CaptureFrame(int32_t demoTime)
{
    if (!g_active) return;
    std::string name;
    if (CurrentScene == 0) {
        if (g_loadingWritten) return;   // only the loading screen is presented outside the scenes
        g_loadingWritten = true;
        name = "loading.png";
    } else if (g_onlyListed) {
        bool due = false;
        while (!g_times.empty() && demoTime >= g_times.front()) {
            g_times.erase(g_times.begin());
            due = true;
        }
        if (!due) return;
        name = CaptureFileName(demoTime);
    } else {
        name = CaptureFileName(demoTime);
    }
    std::string path = g_dir + "/" + name;
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = ReadBackFrame(&width, &height);
    if (!WriteFramePng(path, rgb, width, height))
        std::fprintf(stderr, "zircon-megademo: cannot write %s\n", path.c_str());
    // Every listed frame is written: the run ends as if the window had been closed.
    if (g_onlyListed && g_times.empty()) PostQuitMessage();
}
