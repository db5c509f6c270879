// Frames as pictures: the finished frame is read back just before it is presented and
// written as a 640 × 480 PNG named by its DemoTime (DIR/t0017100.png); the loading
// screen is DIR/loading.png.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Starts capturing into dir (created if missing). With times, only the first frame
// drawn at or after each listed DemoTime is written. False when dir cannot be made.
bool BeginCapture(const std::string& dir, const std::vector<int>& times);
bool CaptureActive();
// Writes the frame in the back buffer if the capture wants it.
void CaptureFrame(int32_t demoTime);
// The file name a frame at this DemoTime gets: "t0017100.png".
std::string CaptureFileName(int32_t demoTime);
// Reads the back buffer as 640 × 480 RGB, top row first.
std::vector<uint8_t> ReadBackFrame();
// Reads the back buffer as 640 × 480 BGRA, top row first, into frame (resized to fit):
// the layout GL hands out fastest, for the video recorder.
void ReadBackFrameBgra(std::vector<uint8_t>* frame);
// Writes 640 × 480 RGB pixels as a PNG file.
bool WriteFramePng(const std::string& path, const std::vector<uint8_t>& rgb);
