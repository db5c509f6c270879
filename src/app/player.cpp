// The player: one frame at a time through the scene table, with the viewer's keys.
#include "app/player.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/capture.h"
#include "app/record.h"
#include "app/viewer_overlay.h"
#include "platform/file_system.h"
#include "gfx/render_interface.h"
#include "scenes/frame_context.h"
#include "scenes/frame_stats.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/timeline.h"
#include "shell/window.h"

namespace {

constexpr int32_t SeekStepMs = 5000;

// Everything below is written by the player's own functions only.
struct Player {
    PlayerSettings settings;
    DemoClock clock;
    SceneId scene = SceneId::Opening;
    float animationPhase = AnimationPhaseAtStart;
    bool playing = false;            // between BeginPlay and the end of play
    bool keepPictures = false;       // each frame's picture is kept, for a pause to show
    // The kept picture is the frame of the held demo time: it is shown instead of drawing
    // until the clock moves on (through the pause and the frame that resumes it).
    bool heldFrameKept = false;
    bool overlay = false;
    bool screenshotDue = false;
    bool untilReached = false;
    bool scenePresented = false;     // a scene frame has been presented
    bool pausedWhileHidden = false;  // the pause is the hidden window's, not the viewer's
    bool landing = false;            // a start or seek waits for the next frame to land (Land)
    size_t nextScripted = 0;
    double lastPresent = 0, frameMs = 0, smoothedFrameMs = 0;
} g_player;

const struct {
    Key key;
    const char* name;
} KeyNames[] = {
    {Key::Space, "space"}, {Key::Left, "left"},   {Key::Right, "right"}, {Key::PageUp, "pageup"},
    {Key::PageDown, "pagedown"}, {Key::Home, "home"}, {Key::F12, "f12"},   {Key::Tab, "tab"},
    {Key::Escape, "escape"},
};

// The context of the frame under way, standing for elapsedFrames designed frames.
FrameContext ContextOfFrame(double elapsedFrames)
{
    return FrameContext{g_player.clock.demoTime, elapsedFrames, *g_player.settings.render,
                        *g_player.settings.resources, g_player.animationPhase};
}

FrameContext ContextOfFrame() { return ContextOfFrame(ElapsedDesignedFrames(g_player.clock)); }

// Enters a scene whose frames are shown: the statistics count them from now.
void Enter(SceneId scene)
{
    BeginSceneFrames(static_cast<int>(scene) + 1, g_player.settings.now());
    FrameContext frame = ContextOfFrame();
    EnterScene(scene, frame);
}

void Leave(SceneId scene)
{
    FrameContext frame = ContextOfFrame();
    LeaveScene(scene, frame);
}

void EndOfPlay()
{
    if (!g_player.playing) return;
    if (!g_player.landing) Leave(g_player.scene);
    g_player.playing = false;
}

// The clock's grid: frame k of a play from 0 is drawn at floor(k × 1000 / fps), the
// designed 60 a second standing in for the real clock.
int64_t GridFps() { return g_player.settings.fixedFps > 0 ? g_player.settings.fixedFps : 60; }
int32_t GridTime(int64_t k) { return static_cast<int32_t>(k * 1000 / GridFps()); }
int64_t FirstGridFrameFrom(int32_t time) { return time <= 0 ? 0 : (time * GridFps() + 999) / 1000; }

// Draws (without presenting) the scene's grid frames from..to-1, each followed by its
// advance, as a play through draws them.
void DrawUnseen(SceneId id, int64_t from, int64_t to)
{
    const SceneRoutines& scene = SceneRoutinesOf(id);
    const double step = DesignedFrames(1.0 / static_cast<double>(GridFps()));
    for (int64_t k = from; k < to; ++k) {
        FrameContext frame{GridTime(k), step, *g_player.settings.render, *g_player.settings.resources,
                           g_player.animationPhase};
        scene.drawFrame(frame);
        g_player.settings.render->ClearFrame();
        frame.demoTime = GridTime(k + 1);
        scene.advance(frame);
    }
}

// Play reaches the clock's time by a start or a seek, and arrives as a play through does.
// A frame leaves render state behind for the next (bindings, each texture's filters), so
// every scene before is entered, its last two frames drawn unseen, and left; the scene
// of the time is entered, its carried state brought to two frames before, and those two
// drawn unseen. The last two, because a scene's first frame acts on what the scene before
// left bound, and its later frames on what it binds itself.
void Land()
{
    const int32_t time = g_player.clock.demoTime;
    const SceneId target = SceneAtTime(time);
    for (int i = 0; i < static_cast<int>(target); ++i) {
        const SceneId scene = static_cast<SceneId>(i);
        const int64_t first = FirstGridFrameFrom(SceneStart(scene)), end = FirstGridFrameFrom(SceneRoutinesOf(scene).end);
        FrameContext frame = ContextOfFrame();
        frame.demoTime = GridTime(first);
        EnterScene(scene, frame);
        DrawUnseen(scene, std::max(first, end - 2), end);
        LeaveScene(scene, frame);
    }
    const int64_t first = FirstGridFrameFrom(SceneStart(target)), landing = FirstGridFrameFrom(time);
    const int64_t unseen = std::max(first, landing - 2);
    FrameContext frame = ContextOfFrame();
    Enter(target);
    frame.demoTime = std::min(time, GridTime(unseen));
    CarrySceneTo(target, frame, g_player.settings.fixedFps);
    DrawUnseen(target, unseen, landing);
    g_player.scene = target;
    g_player.landing = false;
}

// Play from demoTime as a run started there would: every scene before it entered and
// left in order, the phase as at the start, the music and the clock at demoTime.
void SeekTo(int32_t demoTime)
{
    if (demoTime < 0) demoTime = 0;
    if (demoTime >= ClosingSceneEnd) {   // past the end: play is over, as at the end
        EndOfPlay();
        return;
    }
    if (!g_player.landing) Leave(g_player.scene);
    SeekDemoClock(&g_player.clock, demoTime, g_player.settings.latencyMs);
    g_player.animationPhase = AnimationPhaseAtStart;
    // The scene of the new time, for the keys that follow in this frame; it is entered
    // when the frame lands.
    g_player.scene = SceneAtTime(demoTime);
    AudioSeek(g_player.settings.music, demoTime);
    g_player.heldFrameKept = false;
    g_player.landing = true;
}

void SetPaused(bool paused)
{
    if (paused == g_player.clock.paused) return;
    PauseDemoClock(&g_player.clock, paused);
    AudioPause(paused);
}

void ApplyKey(Key key)
{
    const int scene = static_cast<int>(g_player.scene);
    const int32_t now = g_player.clock.demoTime;
    switch (key) {
    case Key::Space: SetPaused(!g_player.clock.paused); break;
    case Key::Left: SeekTo(now - SeekStepMs); break;
    case Key::Right: SeekTo(now + SeekStepMs); break;
    case Key::PageUp: SeekTo(SceneStart(static_cast<SceneId>(scene > 0 ? scene - 1 : 0))); break;
    case Key::PageDown:
        SeekTo(scene + 1 < SceneCount ? SceneStart(static_cast<SceneId>(scene + 1)) : ClosingSceneEnd);
        break;
    case Key::Home: SeekTo(0); break;
    case Key::F12: g_player.screenshotDue = true; break;
    case Key::Tab: g_player.overlay = !g_player.overlay; break;
    case Key::Escape: PostWindowMessage({Message::Close}); break;
    case Key::Other: break;
    }
}

// A viewer who cannot see the window (minimised, or stepped aside from fullscreen for
// another window) misses nothing: play and music hold until it is back, and then go on
// unless the viewer had paused before.
void FollowWindowVisibility()
{
    if (!g_player.settings.keyboard || !g_player.playing) return;
    const bool hidden = MainWindowHidden();
    if (hidden == g_player.pausedWhileHidden || (hidden && g_player.clock.paused)) return;
    g_player.pausedWhileHidden = hidden;
    SetPaused(hidden);
    std::fprintf(stderr, "window %s at demo %d ms\n", hidden ? "hidden: paused" : "back: playing on",
                 static_cast<int>(g_player.clock.demoTime));
}

void TraceKey(int64_t playMs, Key key)
{
    std::fprintf(stderr, "key %s at play %lld ms: demo %d ms, music %d ms, %s\n", KeyName(key),
                 static_cast<long long>(playMs), static_cast<int>(g_player.clock.demoTime),
                 AudioPositionMs(g_player.settings.music),
                 !g_player.playing ? "ended" : g_player.clock.paused ? "paused" : "playing");
}

void TakeKeys()
{
    Key key;
    while (TakeViewerKey(&key))
        if (g_player.settings.keyboard && g_player.playing) ApplyKey(key);
    const std::vector<ScriptedKey>& script = g_player.settings.script;
    const int64_t now = PlayTimeMs(g_player.clock);
    while (g_player.playing && g_player.nextScripted < script.size() && script[g_player.nextScripted].atMs <= now) {
        const Key scripted = script[g_player.nextScripted++].key;
        ApplyKey(scripted);
        TraceKey(now, scripted);
    }
}

void SaveScreenshot(int32_t demoTime)
{
    const std::string name = ScreenshotFileName(demoTime);
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = ReadBackFrame(*g_player.settings.render, &width, &height);
    if (WriteFramePng(name, rgb, width, height)) std::fprintf(stderr, "screenshot saved as %s\n", name.c_str());
    else std::fprintf(stderr, "zircon-megademo: cannot write %s\n", name.c_str());
}

// The present of a scene frame: past --until the frame is shown and play ends; else the
// wait for its slot, the frame written where asked, then shown and counted.
void PresentSceneFrame()
{
    RenderInterface& render = *g_player.settings.render;
    const int32_t demoTime = g_player.clock.demoTime;
    if (g_player.settings.untilMs > 0 && demoTime >= g_player.settings.untilMs) {
        g_player.untilReached = true;
        render.PresentFrame();
        if (g_player.settings.scenePresented) g_player.settings.scenePresented(demoTime);
        return;
    }
    WaitForPresentSlot(&g_player.settings.schedule, g_player.settings.now, g_player.settings.sleep);
    CaptureFrame(render, demoTime);
    if (g_player.screenshotDue) {
        g_player.screenshotDue = false;
        SaveScreenshot(demoTime);
    }
    RecordVideoFrame(render, demoTime);
    render.PresentFrame();
    // After the present: a render interface that batches its triangles has drawn them all.
    if (g_player.settings.scenePresented) g_player.settings.scenePresented(demoTime);
    if (!g_player.scenePresented) MarkStartup(StartupMark::FirstSceneFrame);
    g_player.scenePresented = true;
    CountPresentedFrame(&g_player.clock);
    const double now = g_player.clock.now();
    g_player.frameMs = (now - g_player.lastPresent) * 1000.0;
    g_player.lastPresent = now;
    g_player.smoothedFrameMs += 0.1 * (g_player.frameMs - g_player.smoothedFrameMs);
}

// Seconds from now until the next frame is halfway through its time on screen: it is
// shown at its present slot (with vsync, the next refresh) and held one period. A refresh
// made before the present of the frame under way draws for the slot after that one.
double SecondsUntilShownMiddle(const PresentSchedule& schedule, double now, bool beforePresent)
{
    const PresentPacing& pacing = schedule.pacing;
    if (pacing.periodSeconds > 0) {
        double due = SlotForFrameReadyAt(pacing, now);
        if (beforePresent) due += pacing.periodSeconds;
        return due - now + pacing.periodSeconds / 2;
    }
    if (schedule.watchingVsync) return (beforePresent ? 2.5 : 1.5) / schedule.vsyncWatch.refreshHz;
    return 0;
}

// The real clock before a refresh: the frame's time is that of its middle on screen, and
// the clock follows the music as the listener hears it.
void FollowMusic(bool beforePresent)
{
    DemoClock& clock = g_player.clock;
    if (clock.fixedFps > 0) return;
    clock.showLeadSeconds = SecondsUntilShownMiddle(g_player.settings.schedule, clock.now(), beforePresent);
    double heardMs = 0, heardAt = 0;
    if (AudioHeardPosition(g_player.settings.music, &heardMs, &heardAt)) SteerDemoClock(&clock, heardMs, heardAt);
}

// A drawn frame finished in the given order: counted for the statistics at the time it
// was drawn at, presented, the next frame cleared, and the clock moved on (before the
// present for the closing fade's frames, after it for every other).
void FinishFrame(FrameFinish order)
{
    RecordFrame(g_player.clock.demoTime, g_player.settings.now());
    if (order == FrameFinish::TimeThenPresent) {
        FollowMusic(true);
        RefreshDemoClock(&g_player.clock);
    }
    PresentSceneFrame();
    g_player.settings.render->ClearFrame();
    if (order == FrameFinish::PresentThenTime) {
        FollowMusic(false);
        RefreshDemoClock(&g_player.clock);
    }
    if (!g_player.clock.paused) g_player.heldFrameKept = false;
}

// The scene's frame at the clock's time, or the held frame's picture. The frame a pause
// begins in is drawn as a run without the pause draws it, standing for the last step's
// time, and kept; the paused frames and the one that resumes show it again; the clock then
// goes on to the frame after it.
FrameFinish DrawFrame(const SceneRoutines& scene)
{
    RenderInterface& render = *g_player.settings.render;
    if (g_player.keepPictures && g_player.heldFrameKept) {
        render.DrawKeptFrame();
        return FrameFinish::PresentThenTime;
    }
    FrameContext frame = ContextOfFrame(StepDesignedFrames(g_player.clock));
    const FrameFinish order = scene.drawFrame(frame);
    // Copied once, when a pause begins (or a seek lands while paused): unpaused play
    // reads nothing back.
    if (g_player.keepPictures && g_player.clock.paused) render.KeepFrame();
    g_player.heldFrameKept = g_player.clock.paused;
    return order;
}

}  // namespace

const char* KeyName(Key key)
{
    for (const auto& k : KeyNames)
        if (k.key == key) return k.name;
    return "other";
}

bool ParseKeyScript(const std::string& text, std::vector<ScriptedKey>* keys, std::string* error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    keys->clear();
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::string first, name, rest;
        if (!(words >> first) || first[0] == '#') continue;
        char* end = nullptr;
        const long atMs = std::strtol(first.c_str(), &end, 10);
        const Key* key = nullptr;
        if ((words >> name) && !(words >> rest))
            for (const auto& k : KeyNames)
                if (name == k.name) key = &k.key;
        if (*end != '\0' || atMs < 0 || atMs > 100000000 || !key) {
            *error = "line " + std::to_string(number) + ": expected \"MS KEY\", KEY one of space, left, right, "
                     "pageup, pagedown, home, f12, tab, escape: " + line;
            return false;
        }
        if (!keys->empty() && atMs < keys->back().atMs) {
            *error = "line " + std::to_string(number) + ": times must not go back: " + line;
            return false;
        }
        keys->push_back({static_cast<int32_t>(atMs), *key});
    }
    return true;
}

std::string ScreenshotFileName(int32_t demoTime)
{
    char base[32];
    std::snprintf(base, sizeof base, "zircon-t%07d", static_cast<int>(demoTime < 0 ? 0 : demoTime));
    std::string name = std::string(base) + ".png";
    for (int n = 2; PlatformPathExists(name); ++n) name = base + ("-" + std::to_string(n)) + ".png";
    return name;
}

void BeginPlay(int32_t startMs, const PlayerSettings& settings)
{
    g_player = Player{};
    g_player.settings = settings;
    // Only the viewer's keys, a script and a hidden window can pause.
    g_player.keepPictures = settings.keyboard || !settings.script.empty();
    for (int i = 0; i < SceneCount; ++i) SetUpScene(static_cast<SceneId>(i), *settings.resources);
    g_player.clock = StartDemoClock(settings.now, settings.fixedFps, startMs, settings.latencyMs);
    if (settings.fixedFps <= 0) {
        // The first frame too is drawn for the middle of its time on screen.
        g_player.clock.showLeadSeconds = SecondsUntilShownMiddle(settings.schedule, settings.now(), false);
        RefreshDemoClock(&g_player.clock);
    }
    g_player.lastPresent = settings.now();
    g_player.playing = true;
    // The first frame lands at the start (Land: a run started late arrives as a play
    // through does).
    g_player.scene = SceneAtTime(g_player.clock.demoTime);
    g_player.landing = true;
}

bool PlayFrame()
{
    if (!g_player.playing) return false;
    if (PumpMessages()) {
        EndOfPlay();
        return false;
    }
    TakeKeys();
    FollowWindowVisibility();
    if (g_player.playing && g_player.landing) Land();
    while (g_player.playing && g_player.clock.demoTime >= SceneRoutinesOf(g_player.scene).end) {
        Leave(g_player.scene);
        if (g_player.scene == SceneId::Closing) {
            g_player.playing = false;
            break;
        }
        g_player.scene = static_cast<SceneId>(static_cast<int>(g_player.scene) + 1);
        Enter(g_player.scene);
    }
    if (!g_player.playing) return false;

    const SceneRoutines& scene = SceneRoutinesOf(g_player.scene);
    const FrameFinish order = DrawFrame(scene);
    if (g_player.overlay) DrawViewerOverlay(*g_player.settings.render, CurrentPlayerStatus());
    FinishFrame(order);
    if (g_player.untilReached) {
        EndOfPlay();
        return false;
    }
    // The steps of the frame just finished, over the time the clock has just measured.
    FrameContext next = ContextOfFrame();
    scene.advance(next);
    return true;
}

void EndPlay()
{
    EndOfPlay();
    for (int i = 0; i < SceneCount; ++i) ReleaseScene(static_cast<SceneId>(i));
}

PlayerStatus CurrentPlayerStatus()
{
    PlayerStatus status;
    status.demoTime = g_player.clock.demoTime;
    status.scene = static_cast<int>(g_player.scene) + 1;
    status.sceneName = SceneRoutinesOf(g_player.scene).name;
    status.paused = g_player.clock.paused;
    status.frameMs = g_player.smoothedFrameMs;
    status.framesPerSecond = g_player.smoothedFrameMs > 0 ? 1000.0 / g_player.smoothedFrameMs : 0;
    return status;
}

bool UntilReached() { return g_player.untilReached; }
