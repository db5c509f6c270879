// Frame files and videos in a page: there are none. The page reads the canvas itself
// (its tests compare those frames), and a page cannot start ffmpeg.
#include "app/capture.h"
#include "app/record.h"


bool BeginCapture(const std::string&, const std::vector<int>&) { return false; }
bool CaptureActive() { return false; }
void CaptureLoadingScreen(RenderInterface&) {}

bool WriteFramePng(const std::string&, const std::vector<uint8_t>&, int, int) { return false; }

bool BeginRecording(const std::string&, int, int, int, const std::string&, int, int, std::string* error)
{
    *error = "a page cannot record videos";
    return false;
}
bool RecordingActive() { return false; }
int FinishRecording(bool completed) { return completed ? 0 : 1; }
