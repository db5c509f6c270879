// Start-up shared by the native program (Linux and Windows) and the page: the music, the
// device with its render interface, the resources behind the loading screen, and the
// player's settings. Each failure comes back with the text of the box the program shows;
// ending the program is the caller's call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/player.h"
#include "gfx/device.h"
#include "platform/platform.h"
#include "scenes/resources.h"

class FrameStats;
class Image;
struct DemoOptions;

// "<text>\n(error code: N)", never longer than 199 characters.
std::string FormatAudioError(const char* text, int code);
// FormatAudioError's text with the sound system's current error code, in an "Error" box.
void ReportAudioError(const char* text);

// The picture's pixels as a window icon takes them: rows width × 4 bytes apart, alpha =
// opacity (the PNG loader keeps it inverted).
std::vector<uint8_t> WindowIconPixels(const Image& image);
// Gives the window the data set's icon.png; false when the file is missing or damaged
// or the window takes no icon, which leaves the window system's own and is no failure.
bool SetWindowIconFromDataSet();

// Milliseconds from starting a sound to hearing it: one output buffer of samples at the
// given rate, rounded to the nearest millisecond; 0 for no buffer.
int OutputLatencyMs(int bufferSamples, int frequency);

// The sound system up and the soundtrack opened; 0 (after its box) when it cannot be.
// silent: nothing is heard (the fixed-rate clock).
AudioStreamHandle OpenMusic(bool silent);
// Plays the soundtrack from startMs; a box when it cannot.
void StartMusic(AudioStreamHandle music, int32_t startMs, bool loop);

// The device and everything drawn through it.
struct DemoDevice {
    std::unique_ptr<RenderInterface> backEnd;
    std::unique_ptr<RenderInterface> timing;   // with statistics: the timing front over the back end
    RenderInterface* render = nullptr;         // what the loading screen and the player draw through
    FrameStats* stats = nullptr;               // the run's statistics (--stats), else null
    DeviceResult display;
    Resources resources;
};

// Opens the device; with `stats`, every call is timed into them. False with the text of
// the "FATAL ERROR" box.
bool OpenDemoDevice(const DeviceRequest& request, FrameStats* stats, DemoDevice* device, std::string* failure);
// Loads the resources through the device, presenting the loading screen (and writing it
// when frames are captured; marking it in the statistics). False with the text of the "FATAL ERROR" box.
bool LoadDemoResources(DemoDevice* device, std::string* failure);

// The player's settings for play with these options on this device: the clock, --until,
// the script, the music and how its latency is asked for. The present schedule is the
// caller's.
PlayerSettings PlayerSettingsFor(const DemoOptions& options, DemoDevice* device, AudioStreamHandle music,
                                 std::function<int()> latencyMs, const std::vector<ScriptedKey>& script);
