// Frame files and videos in a page: there are none. The page reads the canvas itself
// (its tests compare those frames), and a page cannot start ffmpeg.
#include <GLES3/gl3.h>

#include "app/capture.h"
#include "app/record.h"

#include <cstdio>

bool BeginCapture(const std::string&, const std::vector<int>&) { return false; }
bool CaptureActive() { return false; }
void CaptureFrame(int32_t) {}

std::string CaptureFileName(int32_t demoTime)
{
    char name[32];
    std::snprintf(name, sizeof name, "t%07d.png", static_cast<int>(demoTime));
    return name;
}

// The canvas, rows top first, 3 bytes a pixel (as a screenshot would hold it).
std::vector<uint8_t> ReadBackFrame(int* width, int* height)
{
    std::vector<uint8_t> bgra;
    ReadBackFrameBgra(&bgra, width, height);
    std::vector<uint8_t> rgb(bgra.size() / 4 * 3);
    for (size_t i = 0, o = 0; i < bgra.size(); i += 4, o += 3) {
        rgb[o] = bgra[i + 2];
        rgb[o + 1] = bgra[i + 1];
        rgb[o + 2] = bgra[i];
    }
    return rgb;
}

void ReadBackFrameBgra(std::vector<uint8_t>* frame, int* width, int* height)
{
    constexpr int Width = 640, Height = 480;
    *width = Width;
    *height = Height;
    std::vector<uint8_t> rgba(static_cast<size_t>(Width) * Height * 4);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    frame->resize(rgba.size());
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(Height - 1 - y) * Width + x) * 4];
            uint8_t* q = &(*frame)[(static_cast<size_t>(y) * Width + x) * 4];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            q[3] = 255;
        }
}

bool WriteFramePng(const std::string&, const std::vector<uint8_t>&, int, int) { return false; }

bool BeginRecording(const std::string&, int, int, int, const std::string&, int, int, std::string* error)
{
    *error = "a page cannot record videos";
    return false;
}
bool RecordingActive() { return false; }
void RecordVideoFrame(int32_t) {}
int FinishRecording(bool completed) { return completed ? 0 : 1; }
