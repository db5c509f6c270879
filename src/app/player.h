// The player: plays the scene table one frame at a time for whoever owns the loop (the
// native driver's loop, a page's animation frames, a test). It owns the demo clock and the
// present schedule, the event pump, the viewer's keys, the frame context each scene step
// gets, the order in which a frame is finished, and what happens at each present.
//
// Viewer keys: Space pauses and resumes (the music with it); Left and Right seek 5 s back
// and forward; Page Up and Page Down go to the start of the previous and next scene; Home
// to the start; F12 saves the frame as a PNG named by its demo time; Tab shows the viewer
// overlay. A seek to T lands on the frame a run started at T shows, with the music at T.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/demo_clock.h"
#include "app/present_schedule.h"
#include "platform/platform.h"

class RenderInterface;
struct Resources;

// A key of a --keys script, pressed once the play time reaches atMs (demo_clock.h: it
// goes on through pauses and seeks, and replays exactly under the fixed-rate clock).
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
    RenderInterface* render = nullptr;  // where frames are drawn and presented
    Resources* resources = nullptr;     // what the scenes draw; the scenes write its meshes
    SteadySecondsSource now = RealSteadySeconds;   // the clock of play, pacing and statistics
    SleepFunction sleep = RealSleep;                 // how pacing waits on that clock
    int fixedFps = 0;                   // > 0: the fixed-rate clock (--fps)
    int32_t untilMs = 0;                // > 0: play ends at the first frame drawn at or past it (--until)
    PresentSchedule schedule;           // when presents are due
    bool keyboard = true;               // the viewer's keys act (not while recording or capturing)
    std::vector<ScriptedKey> script;    // replayed whatever keyboard says; each applied key is traced
    int latencyMs = 0;                  // how long sound started now takes to be heard
    AudioStreamHandle music = 0;
    void (*scenePresented)(int32_t demoTime) = nullptr;   // told of each scene frame, just presented
};

// Sets the scenes up, starts the clock at startMs (the music is already playing from
// there) and enters the scene that plays then.
void BeginPlay(int32_t startMs, const PlayerSettings& settings);
// One frame: keys, the scene's steps with this frame's context, the overlay, then the
// present steps (--until, pacing, --capture, screenshots, --record) and the present.
// Paused, the frame drawn at the held time is presented again. False once play is
// over: its end reached, --until reached, or a quit.
bool PlayFrame();
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
