// Frames as pictures: the finished frame is read back just before it is presented and
// written as a PNG of the frame's size (640 × 480 unless --size says otherwise) named by its DemoTime (DIR/t0017100.png); the loading
// screen is DIR/loading.png.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RenderInterface;

// Starts capturing into dir (created if missing). With times, only the first frame
// drawn at or after each listed DemoTime is written. False when dir cannot be made.
bool BeginCapture(const std::string& dir, const std::vector<int>& times);
bool CaptureActive();
// Writes the finished scene frame drawn at demoTime if the capture wants it.
void CaptureFrame(RenderInterface& render, int32_t demoTime);
// Writes the finished loading screen as loading.png when capturing.
void CaptureLoadingScreen(RenderInterface& render);
// The file name a frame at this DemoTime gets: "t0017100.png".
std::string CaptureFileName(int32_t demoTime);
// Reads the finished frame as RGB, top row first, with its size.
std::vector<uint8_t> ReadBackFrame(RenderInterface& render, int* width, int* height);
// Writes RGB pixels of width × height as a PNG file.
bool WriteFramePng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height);
