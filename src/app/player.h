// The player: plays the scene table one frame at a time for whoever owns the loop (the
// native driver's loop, a page's animation frames, a test). It owns the demo clock and its
// time source, the present schedule, the scenes' states, the viewer's keys, the frame
// context each scene step gets, the order in which a frame is finished, and the sinks
// told of each present.
//
// Viewer keys: Space pauses and resumes (the music with it); Left and Right seek 5 s back
// and forward; Page Up and Page Down go to the start of the previous and next scene; Home
// to the start; F12 saves the frame as a PNG named by its demo time; Tab shows the viewer
// overlay. The viewer may also ask for a demo time (a page's scrubber), which is sought as
// the keys seek: still paused when paused, and at or past the end, play is over. A seek to
// T lands on the frame a run started at T shows, with the music at T.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/demo_clock.h"
#include "app/present_schedule.h"
#include "platform/platform.h"
#include "scenes/frame_context.h"
#include "scenes/scenes.h"

class FrameStats;
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

// Told of each presented scene frame, in the order the player holds them: before the
// present the finished frame can still be read back; after it, a render interface that
// batches its triangles has drawn them all. Implementations: frame capture, recording,
// screenshots, the page's hook.
class PresentSink {
public:
    virtual ~PresentSink() = default;
    // Not for the frame past --until, which ends play.
    virtual void BeforePresent(RenderInterface& render, int32_t demoTime);
    virtual void AfterPresent(int32_t demoTime);
};

struct PlayerSettings {
    RenderInterface* render = nullptr;  // where frames are drawn and presented
    const Resources* resources = nullptr;   // what the scenes draw (they copy what they change)
    SteadySecondsSource now = RealSteadySeconds;   // the clock of play, pacing and statistics
    SleepFunction sleep = RealSleep;                 // how pacing waits on that clock
    int fixedFps = 0;                   // > 0: the fixed-rate clock (--fps)
    int32_t untilMs = 0;                // > 0: play ends at the first frame drawn at or past it (--until)
    PresentSchedule schedule;           // when presents are due
    bool keyboard = true;               // the viewer's keys act (not while recording or capturing)
    std::vector<ScriptedKey> script;    // replayed whatever keyboard says; each applied key is traced
    // How long the music just started takes to be heard, asked at the start and at each
    // seek, once the music is playing from there (a page's output changes it while it
    // plays); null: 0.
    std::function<int()> latencyMs;
    AudioStreamHandle music = 0;       // sought and paused by the player
    bool startMusic = false;           // Begin starts it (a failure is the program's audio box)
    bool loopMusic = false;            // the music starts again at its end (the page)
    // false: every scene's working storage is made before play and freed after it, so that
    // entering a scene costs no frame; true: made as a scene is entered and freed as it is
    // left, so that memory holds one scene's at a time (the page, whose heap never shrinks).
    bool sceneStorageWhileEntered = false;
    FrameStats* stats = nullptr;        // where frames and presents are counted (--stats); null: nowhere
};

// The player's own sink: F12's screenshot, written at the next present.
class ScreenshotSink : public PresentSink {
public:
    bool due = false;
    void BeforePresent(RenderInterface& render, int32_t demoTime) override;
};

// The figures the viewer overlay shows.
struct PlayerStatus {
    int32_t demoTime;
    int scene;             // 1..6
    const char* sceneName;
    bool paused;
    double framesPerSecond;
    double frameMs;
};

// Owns one run of the scene table: the clock and its time source, the present schedule,
// the scenes' states, the present sinks, and the order in which a frame is finished.
class Player {
public:
    explicit Player(const PlayerSettings& settings);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Sinks are told of each present in the order they were added. Not owned; they
    // outlive play.
    void AddPresentSink(PresentSink* sink);
    // Adds the player's own screenshot sink (F12) at this place in the order.
    void AddScreenshotSink();

    // Sets the scenes up, starts the music and the clock at startMs and enters the scene
    // that plays then. A play ended before can begin again.
    void Begin(int32_t startMs);
    // One frame: keys, the scene's steps with this frame's context, the overlay, then the
    // present steps (--until, pacing, the sinks) and the present. Paused, the frame drawn
    // at the held time is presented again. False once play is over: its end reached,
    // --until reached, or a quit.
    bool PlayFrame();
    // Leaves the scene under way and releases every scene (also done on destruction).
    void End();

    PlayerStatus Status() const;
    // True when --until ended the run, which counts as reaching the end.
    bool UntilReached() const { return untilReached_; }
    const SceneStates& Scenes() const { return *scenes_; }
    const DemoClock& Clock() const { return clock_; }
    // Seconds on the player's steady clock.
    double Now() const { return settings_.now(); }

private:
    FrameContext ContextOfFrame(double elapsedFrames);
    FrameContext ContextOfFrame();
    int LatencyMs() const;
    void Enter(SceneId scene);
    void Leave(SceneId scene);
    void EndOfPlay();
    int64_t GridFps() const;
    int32_t GridTime(int64_t k) const;
    int64_t FirstGridFrameFrom(int32_t time) const;
    void DrawUnseen(SceneId id, int64_t from, int64_t to);
    void Land();
    void SeekTo(int32_t demoTime);
    void SetPaused(bool paused);
    void ApplyKey(Key key);
    void FollowWindowVisibility();
    void TraceKey(int64_t playMs, Key key);
    void TakeKeys();
    void PresentSceneFrame();
    void FollowMusic(bool beforePresent);
    void FinishFrame(bool timeFirst);
    bool DrawFrame();

    const PlayerSettings settings_;
    PresentSchedule schedule_;   // settings_.schedule as play goes on
    std::vector<PresentSink*> sinks_;
    ScreenshotSink screenshot_;
    std::unique_ptr<SceneStates> scenes_;   // made afresh for each play; null between plays
    DemoClock clock_;
    SceneId scene_ = SceneId::Opening;
    bool playing_ = false;            // between Begin and the end of play
    bool keepPictures_ = false;       // each frame's picture is kept, for a pause to show
    // The kept picture is the frame of the held demo time: it is shown instead of drawing
    // until the clock moves on (through the pause and the frame that resumes it).
    bool heldFrameKept_ = false;
    bool overlay_ = false;
    bool untilReached_ = false;
    bool scenePresented_ = false;     // a scene frame has been presented
    bool pausedWhileHidden_ = false;  // the pause is the hidden window's, not the viewer's
    bool landing_ = false;            // a start or seek waits for the next frame to land (Land)
    size_t nextScripted_ = 0;
    double lastPresent_ = 0, frameMs_ = 0, smoothedFrameMs_ = 0;
};

// Seconds from now until the next frame is halfway through its time on screen: it is
// shown at its present slot (with vsync, the next refresh) and held one period. A refresh
// made before the present of the frame under way draws for the slot after that one.
double SecondsUntilShownMiddle(const PresentSchedule& schedule, double now, bool beforePresent);

// The name a screenshot at demoTime gets in the working folder: "zircon-t0012345.png",
// or with "-2", "-3"... before ".png" when such a file exists already.
std::string ScreenshotFileName(int32_t demoTime);
