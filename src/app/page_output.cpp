// Frame files and videos in a page: there are none. The page reads the canvas itself
// (its tests compare those frames), and a page cannot start ffmpeg.
#include <GLES3/gl3.h>

#include "app/capture.h"
#include "app/record.h"


bool BeginCapture(const std::string&, const std::vector<int>&) { return false; }
bool CaptureActive() { return false; }
void CaptureFrame(int32_t) {}

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
