// The player: one frame at a time through the scene table, with the viewer's keys.
#include "app/player.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "app/capture.h"
#include "app/frame_pacing.h"
#include "app/options.h"
#include "app/record.h"
#include "app/viewer_overlay.h"
#include "gfx/device.h"
#include "gfx/render_interface.h"
#include "scenes/frame_steps.h"
#include "scenes/resources.h"
#include "scenes/frame_stats.h"
#include "scenes/timeline.h"
#include "shell/clock.h"
#include "shell/window.h"

namespace {

constexpr int32_t SeekStepMs = 5000;
using SteadyClock = std::chrono::steady_clock;

// Everything below is written by the player's own functions only.
struct Player {
    PlayerSettings settings;
    SceneId scene = SceneId::Opening;
    bool playing = false;          // between BeginPlay and the end of play
    bool paused = false;
    int32_t heldTime = 0;          // DemoTime while paused
    bool overlay = false;
    bool screenshotDue = false;
    bool untilReached = false;
    size_t nextScripted = 0;
    uint64_t framesPresented = 0;
    SteadyClock::time_point playStart, lastPresent;
    double frameMs = 0, smoothedFrameMs = 0;
    float animationPhase = AnimationPhaseAtStart;
    Resources noResources;         // drawn from when the settings hold none
} g_player;

Resources& PlayResources()
{
    return g_player.settings.resources ? *g_player.settings.resources : g_player.noResources;
}

// The frame context of the frame under way: its demo time and its steps.
FrameContext CurrentFrame()
{
    const double frames = g_player.paused ? 0.0 : DesignedFrames(FrameSeconds());
    return FrameContext{DemoTime, frames, *Renderer, PlayResources(), g_player.animationPhase};
}

void EnterSceneNow(SceneId scene)
{
    FrameContext frame = CurrentFrame();
    EnterScene(scene, frame);
}

// Present and clear in the order the frame asks, the frame counted at its demo time.
void FinishFrame(FrameFinish order)
{
    RecordFrame(DemoTime);
    if (order == FrameFinish::TimeThenPresent) RefreshDemoTime();
    Renderer->PresentFrame();
    Renderer->ClearFrame();
    if (order == FrameFinish::PresentThenTime) RefreshDemoTime();
}

const struct {
    Key key;
    const char* name;
} KeyNames[] = {
    {Key::Space, "space"}, {Key::Left, "left"},   {Key::Right, "right"}, {Key::PageUp, "pageup"},
    {Key::PageDown, "pagedown"}, {Key::Home, "home"}, {Key::F12, "f12"},   {Key::Tab, "tab"},
    {Key::Escape, "escape"},
};

// Play time: fixed-rate frames when that clock runs, else the steady clock.
int64_t PlayTimeMs()
{
    if (Options.fps > 0) return static_cast<int64_t>(g_player.framesPresented * 1000 / Options.fps);
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - g_player.playStart).count();
}

void EndOfPlay()
{
    if (!g_player.playing) return;
    LeaveScene(g_player.scene);
    g_player.playing = false;
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
    LeaveScene(g_player.scene);
    g_player.animationPhase = AnimationPhaseAtStart;
    const SceneId target = SceneAtTime(demoTime);
    for (int i = 0;; ++i) {
        const SceneId scene = static_cast<SceneId>(i);
        EnterSceneNow(scene);
        if (scene == target) break;
        LeaveScene(scene);
    }
    g_player.scene = target;
    AudioSeek(g_player.settings.music, demoTime);
    SetDemoClock(demoTime, g_player.paused ? 0 : g_player.settings.latencyMs);
    g_player.heldTime = demoTime;
}

void SetPaused(bool paused)
{
    if (paused == g_player.paused) return;
    g_player.paused = paused;
    AudioPause(paused);
    if (paused) g_player.heldTime = DemoTime;
}

void ApplyKey(Key key)
{
    const int scene = static_cast<int>(g_player.scene);
    switch (key) {
    case Key::Space: SetPaused(!g_player.paused); break;
    case Key::Left: SeekTo(DemoTime - SeekStepMs); break;
    case Key::Right: SeekTo(DemoTime + SeekStepMs); break;
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

void TraceKey(int64_t playMs, Key key)
{
    std::fprintf(stderr, "key %s at play %lld ms: demo %d ms, music %d ms, %s\n", KeyName(key),
                 static_cast<long long>(playMs), static_cast<int>(DemoTime),
                 AudioPositionMs(g_player.settings.music),
                 !g_player.playing ? "ended" : g_player.paused ? "paused" : "playing");
}

void TakeKeys()
{
    Key key;
    while (TakeViewerKey(&key))
        if (g_player.settings.keyboard && g_player.playing) ApplyKey(key);
    const std::vector<ScriptedKey>& script = g_player.settings.script;
    const int64_t now = PlayTimeMs();
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
    const std::vector<uint8_t> rgb = ReadBackFrame(&width, &height);
    if (WriteFramePng(name, rgb, width, height)) std::fprintf(stderr, "screenshot saved as %s\n", name.c_str());
    else std::fprintf(stderr, "zircon-megademo: cannot write %s\n", name.c_str());
}

}  // namespace

void OnFramePresented()
{
    if (Options.untilMs > 0 && CurrentScene != 0 && DemoTime >= Options.untilMs) {
        if (!g_player.untilReached) PostQuitMessage();
        g_player.untilReached = true;
        return;
    }
    // The wait happens inside PresentFrame, but it is not drawing.
    const double waitedMs = WaitForPresentSlot();
    if (FrameStatsEnabled) AddDrawingTime(-waitedMs);
    CaptureFrame(DemoTime);
    if (g_player.screenshotDue && CurrentScene != 0) {
        g_player.screenshotDue = false;
        SaveScreenshot(DemoTime);
    }
    if (CurrentScene != 0) RecordVideoFrame(DemoTime);
    // The fixed-rate clock counts scene frames only, so frame n of the demo is drawn at
    // DemoTime floor(n × 1000 / fps) whatever was presented while loading.
    if (CurrentScene != 0) {
        CountPresentedFrame();
        ++g_player.framesPresented;
        const SteadyClock::time_point now = SteadyClock::now();
        g_player.frameMs = std::chrono::duration<double, std::milli>(now - g_player.lastPresent).count();
        g_player.lastPresent = now;
        g_player.smoothedFrameMs += 0.1 * (g_player.frameMs - g_player.smoothedFrameMs);
    }
}

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
    std::error_code error;
    for (int n = 2; std::filesystem::exists(name, error); ++n) name = base + ("-" + std::to_string(n)) + ".png";
    return name;
}

void BeginPlay(int32_t startMs, const PlayerSettings& settings)
{
    g_player = Player{};
    g_player.settings = settings;
    for (int i = 0; i < SceneCount; ++i) SetUpScene(static_cast<SceneId>(i), PlayResources());
    SetDemoClock(startMs, settings.latencyMs);
    RefreshDemoTime();
    g_player.animationPhase = AnimationPhaseAtStart;
    g_player.playing = true;
    g_player.playStart = g_player.lastPresent = SteadyClock::now();
    // A run started late enters (and leaves) every scene before its start in order.
    g_player.scene = SceneId::Opening;
    EnterSceneNow(g_player.scene);
}

bool PlayFrame()
{
    if (!g_player.playing) return false;
    if (PumpMessages()) {
        EndOfPlay();
        return false;
    }
    TakeKeys();
    while (g_player.playing && DemoTime >= SceneRoutinesOf(g_player.scene).end) {
        LeaveScene(g_player.scene);
        if (g_player.scene == SceneId::Closing) {
            g_player.playing = false;
            break;
        }
        g_player.scene = static_cast<SceneId>(static_cast<int>(g_player.scene) + 1);
        EnterSceneNow(g_player.scene);
    }
    if (!g_player.playing) return false;

    // A paused frame is drawn again at its time with no steps taken, and the clock held.
    const SceneRoutines& scene = SceneRoutinesOf(g_player.scene);
    FrameContext frame = CurrentFrame();
    const FrameFinish order = scene.drawFrame(frame);
    if (g_player.overlay) DrawViewerOverlay(CurrentPlayerStatus());
    FinishFrame(order);
    // The steps of the frame just finished.
    FrameContext finished = CurrentFrame();
    scene.advance(finished);
    if (g_player.paused) SetDemoClock(g_player.heldTime, 0);
    return true;
}

void EndPlay()
{
    EndOfPlay();
    for (int i = 0; i < SceneCount; ++i) ReleaseScene(static_cast<SceneId>(i));
    CurrentScene = 0;
}

PlayerStatus CurrentPlayerStatus()
{
    PlayerStatus status;
    status.demoTime = DemoTime;
    status.scene = static_cast<int>(g_player.scene) + 1;
    status.sceneName = SceneRoutinesOf(g_player.scene).name;
    status.paused = g_player.paused;
    status.frameMs = g_player.smoothedFrameMs;
    status.framesPerSecond = g_player.smoothedFrameMs > 0 ? 1000.0 / g_player.smoothedFrameMs : 0;
    return status;
}

bool UntilReached() { return g_player.untilReached; }
