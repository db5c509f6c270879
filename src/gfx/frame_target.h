// Where frames are drawn. The picture is 4:3 and always shown at the largest size that
// fits its frame, centred, with black bars on the other sides. The frame is the window's
// drawable (it follows the window's size), or, for capture and recording, an offscreen
// frame of a fixed size that is read back and then shown scaled in the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A rectangle in pixels, x from the left and y from the bottom as GL counts them.
struct PictureArea {
    int x, y, width, height;
};

// The largest 4:3 area that fits in width × height, centred (the bars share the rest,
// the odd pixel going to the right or top).
PictureArea FitPictureArea(int width, int height);

// From now on frames are drawn into an offscreen frame of width × height with the given
// samples per pixel (0: none; more than the GL offers are cut to its maximum). Needs a
// current context. False with the reason in *error when the GL cannot.
bool UseOffscreenFrames(int width, int height, int samples, std::string* error);
bool OffscreenFramesInUse();
// Samples per pixel of the frame being drawn (0 without multisampling).
int CurrentFrameSamples();

// The size of the frame being drawn, in pixels.
void CurrentFrameSize(int* width, int* height);
// Sets the viewport to the picture area of the frame being drawn.
void FitViewportToFrame();
// Reads the finished frame (before it is shown) as BGRA, top row first.
void ReadFinishedFrameBgra(std::vector<uint8_t>* pixels, int* width, int* height);
// Makes the frame drawn so far the source of GL reads and copies (multisamples resolved)
// until EndFrameCopy, which makes the frame the target of drawing again. Coordinates are
// the frame's buffer coordinates, those the viewport uses.
void BeginFrameCopy();
void EndFrameCopy();
// Shows the finished frame: the offscreen frame is first scaled into the window's
// picture area. Then swaps buffers and refits the viewport to a window that may have
// changed size.
void ShowFinishedFrame();
