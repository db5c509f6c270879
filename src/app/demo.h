// Program entry and the demo driver.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

extern AudioStreamHandle MusicStream;

// The whole program: options, window, music, RunDemo, tear-down. Returns the exit status.
int ZirconMain(int argc, char** argv);

// Device up, resources loaded, music and clock started, the six scenes, device down.
// Returns CloseDevice's result.
int RunDemo(int width, int height, int bitsPerPixel);

// The data set's folder: the one asked for; else megadata/ in the working directory when
// it exists; else megadata/ beside the program (the Windows zip, a build folder); else the
// one installed with it (<prefix>/share/zircon-megademo).
std::string ChooseDataFolder(const std::string& requested);

// Milliseconds from starting a sound to hearing it: one output buffer of samples at the
// given rate, rounded to the nearest millisecond; 0 for no buffer.
int OutputLatencyMs(int bufferSamples, int frequency);
// DemoStartTick for music started at tickAtPlay: DemoTime 0 is the moment its first
// sample is heard (latencyMs later), and a demo started at startMs is that far in.
uint32_t DemoStartTickFor(uint32_t tickAtPlay, int latencyMs, int startMs);

// "<text>\n(error code: N)" with the player's current error code, in an "Error" box.
void ReportAudioError(const char* text);
// The box text ReportAudioError shows, never longer than 199 characters.
std::string FormatAudioError(const char* text, int code);
