// Program entry and the demo driver.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

struct DeviceRequest;

// The whole program: options, window, music, RunDemo, tear-down. Returns the exit status.
int ZirconMain(int argc, char** argv);

// Device up, resources loaded, music and clock started, the six scenes, sound down,
// device down. Returns the device's restore result; *untilReached: --until ended play.
int RunDemo(const DeviceRequest& request, AudioStreamHandle music, bool* untilReached);

// The data set's folder: the one asked for; else megadata/ in the working directory when
// it exists; else megadata/ beside the program (the Windows zip, a build folder); else the
// one installed with it (<prefix>/share/zircon-megademo).
std::string ChooseDataFolder(const std::string& requested);
