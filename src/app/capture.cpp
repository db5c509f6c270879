#include "app/capture.h"

#include <GL/gl.h>
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/frame_stats.h"
#include "app/window.h"
#include "platform/platform.h"

namespace {

constexpr int FrameWidth = 640;
constexpr int FrameHeight = 480;

bool g_active = false;
bool g_loadingWritten = false;
std::string g_dir;
std::vector<int> g_times;          // still to be written, ascending
bool g_onlyListed = false;

}  // namespace

bool BeginCapture(const std::string& dir, const std::vector<int>& times)
{
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) return false;
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    g_dir = dir;
    g_times = times;
    std::sort(g_times.begin(), g_times.end());
    g_onlyListed = !times.empty();
    g_active = true;
    g_loadingWritten = false;
    return true;
}

bool CaptureActive() { return g_active; }

std::string CaptureFileName(int32_t demoTime)
{
    char name[32];
    std::snprintf(name, sizeof name, "t%07d.png", static_cast<int>(demoTime));
    return name;
}

std::vector<uint8_t> ReadBackFrame()
{
    int w = 0, h = 0;
    PlatformDrawableSize(&w, &h);
    if (w <= 0 || h <= 0) w = FrameWidth, h = FrameHeight;
    std::vector<uint8_t> drawable(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, drawable.data());
    // GL rows run bottom-up; a drawable of another size is resampled to 640 × 480.
    std::vector<uint8_t> frame(static_cast<size_t>(FrameWidth) * FrameHeight * 3);
    for (int y = 0; y < FrameHeight; ++y) {
        int sy = h - 1 - y * h / FrameHeight;
        for (int x = 0; x < FrameWidth; ++x) {
            int sx = x * w / FrameWidth;
            std::memcpy(&frame[(static_cast<size_t>(y) * FrameWidth + x) * 3],
                        &drawable[(static_cast<size_t>(sy) * w + sx) * 3], 3);
        }
    }
    return frame;
}

bool WriteFramePng(const std::string& path, const std::vector<uint8_t>& rgb)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = FrameWidth;
    image.height = FrameHeight;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), FrameWidth * 3, nullptr) != 0;
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
    if (!WriteFramePng(path, ReadBackFrame()))
        std::fprintf(stderr, "zircon-megademo: cannot write %s\n", path.c_str());
    // Every listed frame is written: the run ends as if the window had been closed.
    if (g_onlyListed && g_times.empty()) PostQuitMessage();
}
