// Program entry and the demo driver.
#pragma once

#include <string>

#include "platform/platform.h"

class DeviceFactory;
class GraphicsDevice;

extern AudioStreamHandle MusicStream;
extern DeviceFactory* Factory;
extern GraphicsDevice* Device;

// The whole program: options, window, music, RunDemo, tear-down. Returns the exit status.
int ZirconMain(int argc, char** argv);

// Device up, resources loaded, music and clock started, the six scenes, device down.
// Returns the factory's Shutdown result.
int RunDemo(int width, int height, int bitsPerPixel);

// "<text>\n(error code: N)" with the player's current error code, in an "Error" box.
void ReportAudioError(const char* text);
// The box text ReportAudioError shows, never longer than 199 characters.
std::string FormatAudioError(const char* text, int code);
