// The player: plays the scene table one frame at a time for whoever owns the loop (the
// native driver's loop, a page's animation frames, a test). It owns the demo clock's
// start and seeks, the event pump, the viewer's keys, the order in which a frame is
// finished, and what happens at each present (pacing, --until, --capture, --record,
// screenshots).
//
// Viewer keys: Space pauses and resumes (the music with it); Left and Right seek 5 s back
// and forward; Page Up and Page Down go to the start of the previous and next scene; Home
// to the start; F12 saves the frame as a PNG named by its demo time; Tab shows the viewer
// overlay. A seek to T lands on the frame a run started at T shows, with the music at T.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

struct Resources;

// A key of a --keys script, pressed once the play time reaches atMs. Play time counts
// from the first scene frame and goes on through pauses and seeks; under the fixed-rate
// clock of N frames a second it is frames × 1000 / N, so a script replays exactly.
struct ScriptedKey {
    int32_t atMs;
    Key key;
};

// "space", "left", "right", "pageup", "pagedown", "home", "f12", "tab", "escape".
const char* KeyName(Key key);
// Lines "MS KEY" in rising order of MS; blank lines and lines starting with # are
// skipped. False with the first fault in *error.
bool ParseKeyScript(const std::string& text, std::vector<ScriptedKey>* keys, std::string* error);

struct PlayerSettings {
    bool keyboard = true;               // the viewer's keys act (not while recording or capturing)
    std::vector<ScriptedKey> script;    // replayed whatever keyboard says; each applied key is traced
    int latencyMs = 0;                  // how long sound started now takes to be heard
    AudioStreamHandle music = 0;
    Resources* resources = nullptr;     // what the scenes draw; none loaded when null
};

// Sets the scenes up, starts the clock at startMs (the music is already playing from
// there) and enters the scene that plays then. Installs the present hook.
void BeginPlay(int32_t startMs, const PlayerSettings& settings);
// One frame. False once play is over: its end reached, or a quit.
bool PlayFrame();
// Runs just before each buffer swap, from the loading screen on: --until, pacing,
// --capture, screenshots, --record, the fixed-rate clock. The driver installs it.
void OnFramePresented();
// Leaves the scene under way and releases every scene.
void EndPlay();

// The figures the viewer overlay shows.
struct PlayerStatus {
    int32_t demoTime;
    int scene;             // 1..6
    const char* sceneName;
    bool paused;
    double framesPerSecond;
    double frameMs;
};
PlayerStatus CurrentPlayerStatus();

// True when --until ended the run, which counts as reaching the end.
bool UntilReached();

// The name a screenshot at demoTime gets in the working folder: "zircon-t0012345.png",
// or with "-2", "-3"... before ".png" when such a file exists already.
std::string ScreenshotFileName(int32_t demoTime);
